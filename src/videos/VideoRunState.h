#pragma once
// What the video pages, links and feed share for one run only; none of it is the user's
// data, so none of it is saved.
#include <cstddef>
#include <string>
#include <vector>

#include "store/VideoStore.h"

namespace qen {

struct VideoRunState {
    static constexpr std::size_t kMaxRelatedVideos = 50;

    // Of the last related-videos request; entry 0 is the video asked about.
    std::vector<VideoEntry> RelatedVideos;

    // Set by every change of the playlist: from then on each visit of its pages rebuilds them.
    bool PlaylistChanged = false;

    // The highest page of each list written this run: the clean-up at exit removes them all.
    int VideoPageCount = 0;
    int PlaylistPageCount = 0;
};

// The title of a video the pages show: the first current video's with that id, else the
// first related video's, else the empty text.
std::string FindVideoTitle(const UserData& data, const VideoRunState& run, const std::string& id);

}  // namespace qen
