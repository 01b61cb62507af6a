#include "articles/ArticleFormatter.h"

#include <algorithm>

#include "articles/ArticleText.h"
#include "articles/BracketedLinks.h"
#include "package/SiteText.h"

namespace qen {

namespace {

// Stands in for line breaks while they are rewritten. A text that holds it itself is
// changed there too.
constexpr std::string_view kMarker = "(DSJZJKSH)";
constexpr std::string_view kBreak = "\r\n";
constexpr std::string_view kParagraph = "\r\n\r\n";

bool IsWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string TrimStart(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsWhitespace(text[begin])) ++begin;
    return std::string(text.substr(begin));
}

// Occurrences counted left to right without overlap.
std::size_t Count(std::string_view text, std::string_view token) {
    std::size_t count = 0;
    for (std::size_t at = text.find(token); at != std::string_view::npos; at = text.find(token, at + token.size()))
        ++count;
    return count;
}

// "\r\n", "\r" and "\n" all become "\r\n" - unless the text has as many "\r" as "\n".
std::string NormaliseLineBreaks(std::string text) {
    if (std::count(text.begin(), text.end(), '\r') == std::count(text.begin(), text.end(), '\n')) return text;
    text = ReplaceAll(std::move(text), "\r\n", kMarker);
    text = ReplaceAll(std::move(text), "\r", kMarker);
    text = ReplaceAll(std::move(text), "\n", kMarker);
    return ReplaceAll(std::move(text), kMarker, kBreak);
}

// A line of one or two blanks between two breaks is an empty line.
std::string EmptyBlankLines(std::string text) {
    text = ReplaceAll(std::move(text), "\r\n \r\n", kParagraph);
    return ReplaceAll(std::move(text), "\r\n  \r\n", kParagraph);
}

// Three or more breaks in a row become two: the fixed point of replacing
// "\r\n\r\n\r\n" by "\r\n\r\n" until none is left, reached in one pass.
std::string CollapseBreakRuns(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t breaks = 0;
        while (text.substr(at + 2 * breaks, 2) == kBreak) ++breaks;
        if (breaks == 0) {
            out += text[at++];
            continue;
        }
        for (std::size_t k = 0; k < std::min<std::size_t>(breaks, 2); ++k) out += kBreak;
        at += 2 * breaks;
    }
    return out;
}

std::string ReplaceSourceLine(std::string text, std::string_view id, bool saved) {
    constexpr std::string_view kSource = "Article Source: <a";
    const std::size_t source = text.find(kSource);
    if (source == std::string::npos) return text;
    const std::size_t anchor = source + kSource.size() - 2;
    const std::size_t close = text.find("</a>", source + kSource.size());
    const std::size_t anchorEnd = text.find('>', anchor + 2);
    if (close == std::string::npos || anchorEnd == std::string::npos) return text;
    const std::string sourceAnchor = text.substr(anchor, anchorEnd - anchor + 1);

    std::string footer = "<DIV class='articlefootlinks'>";
    if (saved)
        footer += "<a href='unsavearticle_" + std::string(id) +
                  ".html'>Delete this article from the Saved Articles list</a>";
    else
        footer += "<a href='savearticle_" + std::string(id) + ".html'>Save this article</a>";
    footer += "</DIV><BR><BR><DIV class='articlefootlinks'>" + sourceAnchor + "View this article on " +
              kArticleSiteLabel + "</a></DIV>";
    return text.replace(source, close + 4 - source, footer);
}

// Text wrapped at a fixed width has a break at nearly every line of about 100
// characters; its lines are joined and only its paragraph breaks kept.
std::string JoinHardWrappedLines(std::string text) {
    const std::size_t paragraphs = Count(text, kParagraph);
    const std::size_t lines = Count(ReplaceAll(text, kParagraph, ""), kBreak);
    if (paragraphs <= 2 || lines < text.size() / 100) return text;
    text = ReplaceAll(std::move(text), kParagraph, kMarker);
    text = ReplaceAll(std::move(text), kBreak, " ");
    return ReplaceAll(std::move(text), kMarker, kParagraph);
}

// Without a paragraph break before the last 30 characters, every line is a paragraph.
std::string BreaksToHtml(std::string text) {
    const std::size_t first = text.find(kParagraph);
    const bool linesAreParagraphs =
        first == std::string::npos || static_cast<long long>(first) > static_cast<long long>(text.size()) - 30;
    return ReplaceAll(std::move(text), kBreak, linesAreParagraphs ? "<br><br>\r\n" : "<br>\r\n");
}

}  // namespace

std::string LinkBareAddresses(std::string_view text) {
    constexpr std::string_view kAddress = "http://";
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;   // text before this is in `out`
    std::size_t scanned = 0;  // the tag state is known up to here
    bool inTag = false;
    for (std::size_t p = text.find(kAddress); p != std::string_view::npos;) {
        for (; scanned < p; ++scanned) {
            if (text[scanned] == '<') inTag = true;
            if (text[scanned] == '>') inTag = false;
        }
        if (inTag || (p > 0 && text[p - 1] == '[')) {
            p = text.find(kAddress, p + 1);
            continue;
        }
        std::size_t end = p;
        while (end < text.size() && static_cast<signed char>(text[end]) > 32 && text[end] != '<' && text[end] != ',')
            ++end;
        const std::string_view address = text.substr(p, end - p);
        out.append(text.substr(copied, p - copied));
        out.append("<a href=\"").append(address).append("\">").append(address).append("</a>");
        copied = end;
        p = text.find(kAddress, end);
    }
    out.append(text.substr(copied));
    return out;
}

FormattedArticle FormatArticleHtml(std::string_view raw, std::string_view id, bool saved) {
    std::string text = NormaliseLineBreaks(std::string(raw));
    text = TrimStart(EmptyBlankLines(std::move(text)));

    FormattedArticle article;
    if (const std::size_t lineEnd = text.find(kBreak); lineEnd != std::string::npos) {
        article.title = TrimWhitespace(std::string_view(text).substr(0, lineEnd));
        text = TrimStart(std::string_view(text).substr(lineEnd + kBreak.size()));
    }

    // Attributes of the links that come with the text.
    text = ReplaceAll(std::move(text), "rel=nofollow", "");
    text = ReplaceAll(std::move(text), "target=\"_new\"", "");

    text = LinkBareAddresses(text);
    text = LinkBracketedAddresses(text);
    text = ReplaceSourceLine(std::move(text), id, saved);

    std::replace(text.begin(), text.end(), '\t', ' ');
    text = CollapseBreakRuns(EmptyBlankLines(std::move(text)));
    text = JoinHardWrappedLines(std::move(text));
    text = BreaksToHtml(std::move(text));
    article.body = TrimWhitespace(text);
    return article;
}

}  // namespace qen
