#pragma once
// Finds videos on the video service through its public feed queries: keyword searches in
// batches of 50 that put new videos in front of the current videos, and the videos related
// to one video. Nothing here shows a message: a failure carries the one to show.
#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/Outcome.h"
#include "store/VideoStore.h"
#include "web/Fetcher.h"
#include "web/SiteLabels.h"

namespace qen {

// Called as each batch of a keyword fetch starts, with its progress text: the watcher
// shows the text and lets the window handle its messages, so that the text is painted and
// a click on Cancel is seen. An empty function when nobody watches.
using BatchStarted = std::function<void(const std::string& progressText)>;

// Sort order 0: most viewed first; 1: newest first; 2: the service's own order.
std::string KeywordQueryAddress(const std::string& feedHost, const std::string& term, int startIndex,
                                int sortOrder);
std::string RelatedVideosAddress(const std::string& feedHost, const std::string& videoId);

// The video service says its call quota is spent; `consequence` says what that left the user with.
std::string QuotaMessage(const std::string& consequence);

// How a keyword run ended.
struct KeywordFetch {
    // `CurrentVideos` afterwards, or 0 when the fetch failed, was cancelled or found nothing.
    int count = 0;
    // A failed fetch carries its message, shown with the stop icon.
    Outcome outcome = Outcome::Success();
    bool cancelled = false;
    // The service refused more calls: the run failed when nothing had come yet, and
    // otherwise ended early with what it had.
    bool quotaReached = false;

    // The fetcher's own message for a batch that could not be downloaded, shown before `outcome`.
    Outcome fetchReport = Outcome::Success();

    bool Failed() const { return !outcome.Ok(); }
};

class VideoFeedClient {
public:
    static constexpr int kBatchSize = 50;
    static constexpr int kLastStartIndex = 1000;  // a term is asked from 1, 51, ... 951
    static constexpr int kMaxNewVideos = 1000;

    VideoFeedClient(Fetcher& fetcher, VideoStore& store, std::string feedHost);

    // A keyword run passes over a video whose title holds one of these lower-case words
    // (the niche's exclusion words; an empty word is in every title). None at first.
    void SetExcludedWords(std::vector<std::string> words) { excludedWords_ = std::move(words); }

    // Runs the terms of `keywordList` batch by batch and puts the new videos of the whole
    // run in front of `CurrentVideos`. Without `keep` the current videos are cleared first.
    // `cancel` is read at the start of each batch.
    KeywordFetch FetchKeywordVideos(bool keep, std::string keywordList, int maximum, int sortOrder,
                                    const bool& cancel, const BatchStarted& batchStarted);

    // Appends the related videos to `related`, which holds the requested video as its only
    // entry, up to `VideoRunState::kMaxRelatedVideos`. Succeeds when the feed was read, even
    // without related videos. A failure with an empty message: the download brought nothing
    // and there is nothing to tell.
    Outcome FetchRelatedVideos(const std::string& videoId, std::vector<VideoEntry>& related);

private:
    struct KeywordRun;
    void ReadKeywordEntries(const std::string& feedText, KeywordRun& run);

    Fetcher& fetcher_;
    VideoStore& store_;
    std::string feedHost_;
    std::vector<std::string> excludedWords_;
};

}  // namespace qen
