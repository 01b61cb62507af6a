#pragma once
// What the video pages are made from, fixed once the site has been built.
#include <string>

namespace qen {

struct VideoSite {
    std::string workFolder;    // ends in "/"
    std::string pageTemplate;  // the site's processed page template
    std::string niche;         // the page title and the keyword of the video fetch
};

}  // namespace qen
