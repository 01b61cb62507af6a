#include "articles/ArticleFormatter.h"

#include <algorithm>

#include "articles/ArticleText.h"
#include "articles/BracketedLinks.h"
#include "base/LinkNames.h"
#include "text/TextOps.h"

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

// In place: the texts run to megabytes, and every fresh copy of that size costs.
void TrimStart(std::string& text, std::size_t from = 0) {
    std::size_t begin = from;
    while (begin < text.size() && IsWhitespace(text[begin])) ++begin;
    text.erase(0, begin);
}

void TrimEnd(std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && IsWhitespace(text[end - 1])) --end;
    text.resize(end);
}

// Occurrences counted left to right without overlap.
std::size_t Count(std::string_view text, std::string_view token) {
    std::size_t count = 0;
    for (std::size_t at = text.find(token); at != std::string_view::npos; at = text.find(token, at + token.size()))
        ++count;
    return count;
}

bool MarkerAt(std::string_view text, std::size_t at) {
    return text[at] == kMarker[0] && text.substr(at, kMarker.size()) == kMarker;
}

// "\r\n", "\r" and "\n" all become "\r\n" - unless the text has as many "\r" as "\n".
// One pass with the effect of rewriting "\r\n", then "\r", then "\n" to the marker and
// then every marker to "\r\n" (the marker has no border, so no new one can form).
std::string NormaliseLineBreaks(std::string text) {
    if (std::count(text.begin(), text.end(), '\r') == std::count(text.begin(), text.end(), '\n')) return text;
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') {
            out += kBreak;
            at += 2;
        } else if (text[at] == '\r' || text[at] == '\n') {
            out += kBreak;
            ++at;
        } else if (MarkerAt(text, at)) {
            out += kBreak;
            at += kMarker.size();
        } else {
            out += text[at++];
        }
    }
    return out;
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
        footer += "<a href='" + CommandLink(link::kUnsaveArticle, id) +
                  "'>Delete this article from the Saved Articles list</a>";
    else
        footer += "<a href='" + CommandLink(link::kSaveArticle, id) + "'>Save this article</a>";
    footer += "</DIV><BR><BR><DIV class='articlefootlinks'>" + sourceAnchor + "View this article on " +
              kArticleSiteLabel + "</a></DIV>";
    return text.replace(source, close + 4 - source, footer);
}

// The "\r\n" in a copy of the text without its paragraph breaks, counted without making
// the copy: a break can form where a paragraph break is taken out ("\r" + it + "\n").
std::size_t CountBreaksOutsideParagraphs(std::string_view text) {
    std::size_t count = 0;
    char previous = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (text.substr(at, kParagraph.size()) == kParagraph) {
            at += kParagraph.size();
            continue;
        }
        if (previous == '\r' && text[at] == '\n') ++count;
        previous = text[at++];
    }
    return count;
}

// Text wrapped at a fixed width has a break at nearly every line of about 100
// characters; its lines are joined and only its paragraph breaks kept. The joining is one
// pass with the effect of rewriting each paragraph break to the marker, each remaining
// break to a blank and each marker back to a paragraph break.
std::string JoinHardWrappedLines(std::string text) {
    const std::size_t paragraphs = Count(text, kParagraph);
    const std::size_t lines = CountBreaksOutsideParagraphs(text);
    if (paragraphs <= 2 || lines < text.size() / 100) return text;
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (std::string_view(text).substr(at, kParagraph.size()) == kParagraph) {
            out += kParagraph;
            at += kParagraph.size();
        } else if (std::string_view(text).substr(at, kBreak.size()) == kBreak) {
            out += ' ';
            at += kBreak.size();
        } else if (MarkerAt(text, at)) {
            out += kParagraph;
            at += kMarker.size();
        } else {
            out += text[at++];
        }
    }
    return out;
}

// Without a paragraph break before the last 30 characters, every line is a paragraph.
std::string BreaksToHtml(std::string text) {
    const std::size_t first = text.find(kParagraph);
    const bool linesAreParagraphs =
        first == std::string::npos || static_cast<long long>(first) > static_cast<long long>(text.size()) - 30;
    return ReplaceAll(std::move(text), kBreak, linesAreParagraphs ? "<br><br>\r\n" : "<br>\r\n");
}

}  // namespace

std::string LinkBareAddresses(std::string text) {
    constexpr std::string_view kAddress = "http://";
    if (text.find(kAddress) == std::string::npos) return text;
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;   // text before this is in `out`
    std::size_t scanned = 0;  // the tag state is known up to here
    bool inTag = false;
    for (std::size_t p = text.find(kAddress); p != std::string::npos;) {
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
        const std::string_view address = std::string_view(text).substr(p, end - p);
        out.append(text, copied, p - copied);
        out.append("<a href=\"").append(address).append("\">").append(address).append("</a>");
        copied = end;
        p = text.find(kAddress, end);
    }
    out.append(text, copied);
    return out;
}

FormattedArticle FormatArticleHtml(std::string_view raw, std::string_view id, bool saved) {
    std::string text = NormaliseLineBreaks(std::string(raw));
    text = EmptyBlankLines(std::move(text));
    TrimStart(text);

    FormattedArticle article;
    if (const std::size_t lineEnd = text.find(kBreak); lineEnd != std::string::npos) {
        article.title = TrimWhitespace(std::string_view(text).substr(0, lineEnd));
        TrimStart(text, lineEnd + kBreak.size());
    }

    // Attributes of the links that come with the text.
    text = ReplaceAll(std::move(text), "rel=nofollow", "");
    text = ReplaceAll(std::move(text), "target=\"_new\"", "");

    text = LinkBareAddresses(std::move(text));
    text = LinkBracketedAddresses(std::move(text));
    text = ReplaceSourceLine(std::move(text), id, saved);

    std::replace(text.begin(), text.end(), '\t', ' ');
    text = CollapseBreakRuns(EmptyBlankLines(std::move(text)));
    text = JoinHardWrappedLines(std::move(text));
    text = BreaksToHtml(std::move(text));
    TrimEnd(text);
    TrimStart(text);
    article.body = std::move(text);
    return article;
}

}  // namespace qen
