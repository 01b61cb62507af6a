#pragma once
// The niche descriptor "SiteNiche.txt": the niche line with optional "-" exclusion words,
// then the article category.
#include <string>
#include <string_view>
#include <vector>

namespace qen {

inline constexpr std::size_t kMaxExcludedWords = 50;

// Takes the niche (title-cased) and the article category, and appends the exclusion words
// (lower case) to `excludedWords` until it holds 50. Gives the error message, or the empty
// text on success.
std::string ParseSiteNicheText(std::string_view text, std::string& niche, std::string& articleCategory,
                               std::vector<std::string>& excludedWords);

}  // namespace qen
