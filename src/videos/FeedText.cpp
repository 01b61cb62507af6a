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
