#include "package/SiteNiche.h"

#include "text/TextOps.h"

namespace qen {

std::string ParseSiteNicheText(std::string_view text, std::string& niche, std::string& articleCategory,
                               std::vector<std::string>& excludedWords) {
    const std::size_t lineEnd = text.find('\n');
    if (lineEnd == std::string_view::npos) return "The SiteNiche.txt object does not contain 2 lines";
    std::string_view nicheLine = text.substr(0, lineEnd);
    const std::string_view rest = text.substr(lineEnd + 1);

    const std::size_t dash = nicheLine.find('-');
    if (dash != std::string_view::npos) {
        std::string_view words = nicheLine.substr(dash);
        std::size_t at = 0;
        while (at != std::string_view::npos && excludedWords.size() < kMaxExcludedWords) {
            const std::size_t next = words.find('-', at + 1);
            const std::string_view word =
                words.substr(at + 1, next == std::string_view::npos ? std::string_view::npos : next - at - 1);
            excludedWords.push_back(ToLowerCp1252(TrimWhitespace(word)));
            at = next;
        }
        nicheLine = nicheLine.substr(0, dash);
    }

    const std::string name = TrimWhitespace(nicheLine);
    if (name.empty()) return "The SiteNiche.txt object does not contain SiteNiche data";
    niche = TitleCase(ToLowerAscii(name));
    articleCategory = TrimWhitespace(rest);
    if (articleCategory.empty()) return "The SiteNiche.txt object does not contain EzineArticles URL data";
    return {};
}

}  // namespace qen
