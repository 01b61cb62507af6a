#pragma once
// The files without which a site cannot show a single page: its niche, the page template
// and the help page that is its first page.
#include <string>
#include <vector>

namespace qen {

// The required files missing from a site made of these file names, joined as
// "template.html and help.html"; empty when none is missing. "siteniche.txt" counts as
// "SiteNiche.txt".
std::string MissingSiteFiles(const std::vector<std::string>& names);

}  // namespace qen
