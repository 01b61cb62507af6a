#include "qenpack/BrandingFile.h"

#include "text/TextOps.h"

namespace qen {

std::optional<BrandingLists> ParseBrandingFile(std::string_view text, std::string& error) {
    BrandingLists lists;
    std::vector<BrandingPair>* current = nullptr;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string line = TrimWhitespace(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            const std::string section = ToLowerAscii(line);
            if (section == "[top banners]")
                current = &lists.topBanners;
            else if (section == "[side banners]")
                current = &lists.sideBanners;
            else if (section == "[menu text links]")
                current = &lists.menuTextLinks;
            else {
                error = where + "unknown section " + line +
                        " (known: [Top Banners], [Side Banners], [Menu Text Links])";
                return std::nullopt;
            }
            continue;
        }
        if (!current) {
            error = where + "an entry before the first section";
            return std::nullopt;
        }
        // The last "|" separates, so a menu link text may hold one itself.
        const std::size_t bar = line.rfind('|');
        if (bar == std::string::npos) {
            error = where + "expected \"first | second\"";
            return std::nullopt;
        }
        std::string first = TrimWhitespace(std::string_view(line).substr(0, bar));
        std::string second = TrimWhitespace(std::string_view(line).substr(bar + 1));
        if (first.empty() || second.empty() || line.find('\0') != std::string::npos) {
            error = where + "both sides of \"|\" must be filled in";
            return std::nullopt;
        }
        current->emplace_back(std::move(first), std::move(second));
    }
    return lists;
}

}  // namespace qen
