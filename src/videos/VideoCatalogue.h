#pragma once
// When the video and playlist pages are (re)built, the latest-videos fetch under its
// progress dialog, and what the video links of the pages do.
#include <string>
#include <utility>

#include "base/LinkOutcome.h"
#include "base/Path.h"
#include "platform/Settings.h"
#include "platform/Ui.h"
#include "store/VideoStore.h"
#include "videos/LatestVideosDialog.h"
#include "videos/VideoRunState.h"
#include "web/Fetcher.h"

namespace qen {

class ContentSite;

class VideoCatalogue {
public:
    // The site is the one built at start-up: its work folder, page template and niche.
    VideoCatalogue(Ui& ui, LatestVideosDialog& latestVideosDialog, Fetcher& fetcher, VideoStore& store,
                   Settings& settings, const ContentSite& site);

    // True when "videos1.html" exists: built now, built before, or fetched first when there
    // are no videos yet. On a build `homePage` becomes the first videos page.
    bool ShowVideoPages(Path& homePage);
    // True when "playlist1.html" exists; rebuilt on every visit once the playlist has changed.
    bool ShowPlaylistPages();
    // Fetches the latest videos under the progress dialog (`keep`: add them in front of the
    // current ones) and rebuilds the video pages. True when new pages were written.
    bool FetchLatestVideos(bool keep);

    // The link commands of the video pages. A link that could start a download while one
    // is already waiting, or while the latest videos are being fetched, is cancelled and
    // does nothing.
    LinkOutcome VideosPageLink(Path& homePage);              // "videos1.html"
    // "latestvideos.html"; a run that replaced the videos and brought none leaves the
    // gallery, so it stops being `homePage`.
    LinkOutcome LatestVideosLink(Path& homePage);
    LinkOutcome PlaylistPageLink();                          // "playlist1.html"
    LinkOutcome RelatedVideosLink(const std::string& videoId);  // "related_<id>.html"

    // True while "Get Latest Videos" runs.
    bool FetchingLatest() const { return fetchingLatest_; }

    bool VideoPagesBuilt = false;
    bool PlaylistPagesBuilt = false;

    // What the video links share with the pages for this run.
    VideoRunState& RunState() { return run_; }

private:
    std::string ThumbnailHost() const;
    std::string FeedHost() const;
    // Shows a failure's message, when it has one; true when the outcome is a success.
    bool Succeeded(const Outcome& outcome);
    void ReportFetchOutcome(bool keep, bool quotaReached, std::size_t before, std::size_t after);

    Ui& ui_;
    LatestVideosDialog& latestVideosDialog_;
    Fetcher& fetcher_;
    VideoStore& store_;
    Settings& settings_;
    const ContentSite& site_;
    VideoRunState run_;
    // Between its batches the keyword run pumps messages with no download waiting.
    bool fetchingLatest_ = false;
};

}  // namespace qen
