#pragma once
// The article formatter's steps exactly as defined, each a plain replacement over the
// whole text, searched again from the start where the definition says so. Far too slow
// for large texts; the reference the real formatter is checked against.
#include <algorithm>
#include <string>
#include <string_view>

#include "articles/ArticleFormatter.h"

namespace qen::test {

inline std::string ReplaceEach(std::string text, std::string_view token, std::string_view value) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, from)) {
        out += text.substr(from, at - from);
        out += value;
        from = at + token.size();
    }
    return out + text.substr(from);
}

inline std::size_t CountEach(const std::string& text, std::string_view token) {
    std::size_t count = 0;
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + token.size())) ++count;
    return count;
}

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

inline std::string TrimLeft(std::string text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsSpace(text[begin])) ++begin;
    return text.substr(begin);
}

inline std::string Trim(std::string text) {
    text = TrimLeft(std::move(text));
    while (!text.empty() && IsSpace(text.back())) text.pop_back();
    return text;
}

inline std::string LinkBracketedAddressesOneByOne(std::string text) {
    for (;;) {
        const std::size_t open = text.find('[');
        if (open == std::string::npos) return text;
        const std::size_t close = text.find(']', open);
        if (close == std::string::npos) return text;
        const std::string address = text.substr(open + 1, close - open - 1);
        const std::size_t lineEnd = std::min(text.find_first_of("\r\n", close + 1), text.size());
        const std::string linkText = text.substr(close + 1, lineEnd - close - 1);
        if ((address.starts_with("http://") || address.starts_with("https://")) && linkText.size() <= 100 &&
            linkText.find_first_of("<>") == std::string::npos)
            text = text.substr(0, open) + "<a href=\"" + address + "\">" + linkText + "</a>" + text.substr(lineEnd);
        else
            text = text.substr(0, open) + text.substr(close + 1);
    }
}

inline FormattedArticle FormatArticleHtmlLiterally(std::string s, const std::string& id, bool saved) {
    const std::string marker = "(DSJZJKSH)";
    if (std::count(s.begin(), s.end(), '\r') != std::count(s.begin(), s.end(), '\n')) {
        s = ReplaceEach(s, "\r\n", marker);
        s = ReplaceEach(s, "\r", marker);
        s = ReplaceEach(s, "\n", marker);
        s = ReplaceEach(s, marker, "\r\n");
    }
    s = TrimLeft(ReplaceEach(ReplaceEach(s, "\r\n \r\n", "\r\n\r\n"), "\r\n  \r\n", "\r\n\r\n"));

    FormattedArticle article;
    if (const std::size_t end = s.find("\r\n"); end != std::string::npos) {
        article.title = Trim(s.substr(0, end));
        s = TrimLeft(s.substr(end + 2));
    }
    s = ReplaceEach(ReplaceEach(s, "rel=nofollow", ""), "target=\"_new\"", "");

    for (std::size_t p = s.find("http://"); p != std::string::npos;) {
        const std::size_t lastOpen = p == 0 ? std::string::npos : s.rfind('<', p - 1);
        const std::size_t lastClose = p == 0 ? std::string::npos : s.rfind('>', p - 1);
        const bool inTag = lastOpen != std::string::npos && (lastClose == std::string::npos || lastClose < lastOpen);
        if (inTag || (p > 0 && s[p - 1] == '[')) {
            p = s.find("http://", p + 1);
            continue;
        }
        std::size_t end = p;
        while (end < s.size() && static_cast<signed char>(s[end]) > 32 && s[end] != '<' && s[end] != ',') ++end;
        const std::string address = s.substr(p, end - p);
        const std::string link = "<a href=\"" + address + "\">" + address + "</a>";
        s = s.substr(0, p) + link + s.substr(end);
        p = s.find("http://", p + link.size());
    }
    s = LinkBracketedAddressesOneByOne(s);

    if (const std::size_t source = s.find("Article Source: <a"); source != std::string::npos) {
        const std::size_t close = s.find("</a>", source + 18);
        const std::size_t anchorEnd = s.find('>', source + 18);
        if (close != std::string::npos && anchorEnd != std::string::npos) {
            const std::string anchor = s.substr(source + 16, anchorEnd - source - 15);
            const std::string save = saved ? "<a href='unsavearticle_" + id +
                                                 ".html'>Delete this article from the Saved Articles list</a>"
                                           : "<a href='savearticle_" + id + ".html'>Save this article</a>";
            s = s.substr(0, source) + "<DIV class='articlefootlinks'>" + save +
                "</DIV><BR><BR><DIV class='articlefootlinks'>" + anchor +
                "View this article on EzineArticles.com</a></DIV>" + s.substr(close + 4);
        }
    }

    std::replace(s.begin(), s.end(), '\t', ' ');
    s = ReplaceEach(ReplaceEach(s, "\r\n \r\n", "\r\n\r\n"), "\r\n  \r\n", "\r\n\r\n");
    while (s.find("\r\n\r\n\r\n") != std::string::npos) s = ReplaceEach(s, "\r\n\r\n\r\n", "\r\n\r\n");

    const std::size_t paragraphs = CountEach(s, "\r\n\r\n");
    const std::size_t lines = CountEach(ReplaceEach(s, "\r\n\r\n", ""), "\r\n");
    if (paragraphs > 2 && lines >= s.size() / 100) {
        s = ReplaceEach(s, "\r\n\r\n", marker);
        s = ReplaceEach(s, "\r\n", " ");
        s = ReplaceEach(s, marker, "\r\n\r\n");
    }

    const std::size_t first = s.find("\r\n\r\n");
    if (first == std::string::npos || static_cast<long>(first) > static_cast<long>(s.size()) - 30)
        s = ReplaceEach(s, "\r\n", "<br><br>\r\n");
    else
        s = ReplaceEach(s, "\r\n", "<br>\r\n");
    article.body = Trim(s);
    return article;
}

}  // namespace qen::test
