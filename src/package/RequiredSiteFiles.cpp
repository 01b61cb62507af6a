#include "package/RequiredSiteFiles.h"

#include <algorithm>

namespace qen {

std::string MissingSiteFiles(const std::vector<std::string>& names) {
    struct Required {
        const char* name;
        const char* alias;
    };
    const Required required[] = {
        {"SiteNiche.txt", "siteniche.txt"},
        {"template.html", nullptr},
        {"help.html", nullptr},
    };
    std::vector<std::string> missing;
    for (const Required& file : required) {
        const bool present = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return name == file.name || (file.alias && name == file.alias);
        });
        if (!present) missing.emplace_back(file.name);
    }
    std::string text;
    for (std::size_t i = 0; i < missing.size(); ++i) {
        if (i > 0) text += i + 1 == missing.size() ? " and " : ", ";
        text += missing[i];
    }
    return text;
}

}  // namespace qen
