#pragma once
// Finds videos on the video service through its public feed queries: keyword searches in
// batches of 50 that put new videos in front of the current videos, and the videos related
// to one video.
#include <cstddef>
#include <functional>
#include <string>

#include "platform/Ui.h"
#include "store/VideoStore.h"
#include "web/Fetcher.h"

namespace qen {

// The progress line a keyword fetch writes into; an empty function when there is none.
using ProgressLabel = std::function<void(const std::string& text)>;

inline constexpr const char* kVideoSiteLabel = "YouTube";

// Sort order 0: most viewed first; 1: newest first; 2: the service's own order.
std::string KeywordQueryAddress(const std::string& feedHost, const std::string& term, int startIndex,
                                int sortOrder);
std::string RelatedVideosAddress(const std::string& feedHost, const std::string& videoId);

class VideoFeedClient {
public:
    static constexpr int kBatchSize = 50;
    static constexpr int kLastStartIndex = 1000;  // a term is asked from 1, 51, ... 951
    static constexpr int kMaxNewVideos = 1000;

    VideoFeedClient(Ui& ui, Fetcher& fetcher, VideoStore& store, std::string feedHost);

    // Runs the terms of `keywordList` batch by batch and puts the new videos of the whole
    // run in front of `CurrentVideos`. Without `keep` the current videos are cleared first.
    // `cancel` is read at the start of each batch. Gives the number of current videos
    // afterwards, or 0 when the fetch failed (after its message), was cancelled or found
    // nothing; the outcome flags and `LastFeedText` of the store say which.
    int FetchKeywordVideos(bool keep, std::string keywordList, int maximum, int sortOrder, const bool& cancel,
                           const ProgressLabel& label);

    // Appends the related videos to `RelatedVideos`, which holds the requested video as its
    // only entry. True when the feed was read, even without related videos; false after a
    // message, or silently when the download brought nothing.
    bool FetchRelatedVideos(const std::string& videoId);

private:
    struct KeywordRun;
    void ReadKeywordEntries(const std::string& feedText, KeywordRun& run);
    void Fail(const std::string& message);

    Ui& ui_;
    Fetcher& fetcher_;
    VideoStore& store_;
    std::string feedHost_;
};

}  // namespace qen
