#include "videos/FeedText.h"

#include "text/TextOps.h"

namespace qen {

namespace {

bool IsKeywordSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimKeywordSpace(std::string_view text) {
    while (!text.empty() && IsKeywordSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsKeywordSpace(text.back())) text.remove_suffix(1);
    return text;
}

// Appended piece by piece: GCC 12 misreads "<" + std::string(tag) in optimised builds.
std::string Joined(std::string_view before, std::string_view tag, std::string_view after) {
    std::string text;
    text.reserve(before.size() + tag.size() + after.size());
    text.append(before).append(tag).append(after);
    return text;
}

}  // namespace

std::string NextKeyword(std::string& keywordList) {
    std::string line;
    while (line.empty()) {
        if (keywordList.empty()) return {};
        std::size_t lineEnd = keywordList.find('\r');
        if (lineEnd == std::string::npos) lineEnd = keywordList.find('\n');
        if (lineEnd == std::string::npos) lineEnd = keywordList.size();
        line = TrimKeywordSpace(std::string_view(keywordList).substr(0, lineEnd));
        keywordList = std::string(TrimKeywordSpace(std::string_view(keywordList).substr(lineEnd)));
    }
    line = ToLowerCp1252(line);
    for (char& c : line)
        if (c == ' ') c = '-';
    return line;
}

std::string_view ExtractTagContent(std::string_view text, std::string_view tag, std::size_t& position) {
    const std::string startTag = Joined("<", tag, "");
    const std::string endTag = Joined("</", tag, ">");
    std::size_t from = position;
    while (from < text.size()) {
        const std::size_t open = text.find(startTag, from);
        if (open == std::string_view::npos) return {};
        const std::size_t afterName = open + startTag.size();
        if (afterName >= text.size()) return {};

        // Bytes from 128 up count as white space, as control characters do.
        const auto next = static_cast<unsigned char>(text[afterName]);
        std::size_t startTagEnd = afterName;
        if (next != '>') {
            if (next >= '!' && next < 128) {
                from = afterName;  // a longer name: look further on
                continue;
            }
            startTagEnd = text.find('>', afterName);
            if (startTagEnd == std::string_view::npos) return {};
        }

        const std::size_t contentStart = startTagEnd + 1;
        const std::size_t close = text.find(endTag, contentStart);
        if (close == std::string_view::npos) return {};
        position = close + endTag.size();
        return text.substr(contentStart, close - contentStart);
    }
    return {};
}

bool HoldsFeedDocument(std::string_view feedText) { return feedText.find("<?xml") != std::string_view::npos; }

bool ReportsCallQuota(std::string_view feedText) {
    for (std::string_view marker : {"<code>too_many_recent_calls</code>", "<domain>yt:quota</domain>", "<error>"})
        if (feedText.find(marker) == std::string_view::npos) return false;
    return true;
}

bool IsVideoIdText(std::string_view id) {
    for (char c : id)
        if (!IsIdCharacter(c)) return false;
    return true;
}

}  // namespace qen
