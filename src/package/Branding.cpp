#include "package/Branding.h"

#include "text/TextOps.h"

namespace qen {

std::optional<std::vector<BrandingPair>> ParseBrandingPairs(std::string_view input) {
    std::string text = ReplaceAll(std::string(input), "\r\n", "\n");
    text = ReplaceAll(std::move(text), "\r", "\n");

    std::vector<BrandingPair> pairs;
    std::string rest = text;
    for (;;) {
        rest = TrimWhitespace(rest);
        if (rest.empty()) return pairs;

        std::size_t lineEnd = rest.find('\n');
        std::string line1 = rest.substr(0, lineEnd);
        rest = lineEnd == std::string::npos ? std::string() : rest.substr(lineEnd + 1);
        if (line1.empty()) return std::nullopt;

        // The list is trimmed before each record, so the last record's second line has no
        // line end after it: it runs to the end of the text.
        lineEnd = rest.find('\n');
        std::string line2 = rest.substr(0, lineEnd);
        rest = lineEnd == std::string::npos ? std::string() : rest.substr(lineEnd + 1);
        if (line2.empty() || (!rest.empty() && rest.front() != '\n')) return std::nullopt;

        pairs.emplace_back(std::move(line1), std::move(line2));
        if (pairs.size() == kMaxBrandingRecords) return pairs;
    }
}

std::string BrandingErrorMessage(std::string_view listName) {
    return "Branding error - " + std::string(listName) + " data is not formatted correctly";
}

std::string CleanUrl(std::string_view text) {
    std::string url;
    if (!text.empty() && ToLowerAscii(text.substr(0, 4)) != "http") url = "http://";
    for (char c : text)
        if (c != '\'' && c != '"') url += c;
    return url;
}

std::string FormatBrandingList(const std::vector<BrandingPair>& pairs) {
    std::string text;
    for (const auto& [line1, line2] : pairs) {
        if (!text.empty()) text += "\r\n\r\n";
        text += line1 + "\r\n" + line2;
    }
    return text;
}

}  // namespace qen
