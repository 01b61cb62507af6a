#include "videos/VideoRunState.h"

namespace qen {

std::string FindVideoTitle(const UserData& data, const VideoRunState& run, const std::string& id) {
    for (const auto& v : data.CurrentVideos)
        if (v.id == id) return v.title;
    for (const auto& v : run.RelatedVideos)
        if (v.id == id) return v.title;
    return {};
}

}  // namespace qen
