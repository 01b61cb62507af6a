#include "videos/VideoCatalogue.h"

#include "base/PageNames.h"
#include "package/ContentSite.h"
#include "videos/VideoFeedClient.h"
#include "videos/VideoPages.h"
#include "web/Endpoints.h"

namespace qen {

namespace {

// Fewer videos than one batch brings: the feed is probably answering oddly.
constexpr std::size_t kFewVideos = 50;

}  // namespace

VideoCatalogue::VideoCatalogue(Ui& ui, LatestVideosDialog& latestVideosDialog, Fetcher& fetcher, VideoStore& store,
                               Settings& settings, const ContentSite& site)
    : ui_(ui), latestVideosDialog_(latestVideosDialog), fetcher_(fetcher), store_(store), settings_(settings), site_(site) {}

std::string VideoCatalogue::ThumbnailHost() const { return EndpointValue(settings_, Endpoint::ThumbnailHost); }

std::string VideoCatalogue::FeedHost() const { return EndpointValue(settings_, Endpoint::VideoFeedHost); }

bool VideoCatalogue::Succeeded(const Outcome& outcome) { return ui_.Succeeded(outcome); }


bool VideoCatalogue::ShowVideoPages(Path& homePage) {
    if (VideoPagesBuilt) return true;
    if (store_.CurrentVideos.empty()) {
        ui_.ShowMessage(std::string("The software will now fetch the latest videos from ") + kVideoSiteLabel,
                        Icon::Information);
        if (!FetchLatestVideos(false)) return false;
        // Home shows the gallery whenever its pages exist, however they were written.
        homePage = site_.WorkFolder / page::kFirstVideos;
        return true;
    }
    {
        BusyCursor busy(ui_);
        if (!Succeeded(WriteVideoPages(store_, run_, site_, ThumbnailHost()))) return false;
    }
    VideoPagesBuilt = true;
    homePage = site_.WorkFolder / page::kFirstVideos;
    return true;
}

bool VideoCatalogue::ShowPlaylistPages() {
    if (PlaylistPagesBuilt && !run_.PlaylistChanged) return true;
    if (store_.Playlist.empty()) {
        ui_.ShowMessage(
            "There are no videos in your playlist\n\nTo add a video to the playlist, view the video and then click "
            "the \"Add to Playlist\" button",
            Icon::Information);
        return false;
    }
    BusyCursor busy(ui_);
    if (!Succeeded(WritePlaylistPages(store_, run_, site_, ThumbnailHost()))) return false;
    PlaylistPagesBuilt = true;
    return true;
}

bool VideoCatalogue::FetchLatestVideos(bool keep) {
    VideoPagesBuilt = false;
    if (store_.CurrentVideos.empty()) keep = false;
    const std::size_t before = keep ? store_.CurrentVideos.size() : 0;

    VideoFeedClient feed(fetcher_, store_, FeedHost());
    feed.SetExcludedWords(site_.ExcludedWords);
    KeywordFetch fetched;
    fetchingLatest_ = true;
    const bool endedOk = latestVideosDialog_.ShowLatestVideosDialog([&](FetchProgress& progress) {
        BusyCursor busy(ui_);
        progress.SetStatusText(std::string("Fetching Videos From ") + kVideoSiteLabel);
        ui_.PumpMessages();
        fetched = feed.FetchKeywordVideos(
            keep, site_.Niche, VideoFeedClient::kMaxNewVideos, 0, progress.CancelFlag(),
            [&](const std::string& text) {
                progress.SetProgressText(text);
                ui_.PumpMessages();
            });
        // While the dialog is still up, as the run ends.
        Succeeded(fetched.fetchReport);
        Succeeded(fetched.outcome);
    });
    fetchingLatest_ = false;
    if (!endedOk) return false;

    const std::size_t after = store_.CurrentVideos.size();
    if (after == 0 || fetched.cancelled || fetched.Failed()) return false;
    {
        BusyCursor busy(ui_);
        if (!Succeeded(WriteVideoPages(store_, run_, site_, ThumbnailHost()))) return false;
    }
    ReportFetchOutcome(keep, fetched.quotaReached, before, after);
    VideoPagesBuilt = true;
    return true;
}

void VideoCatalogue::ReportFetchOutcome(bool keep, bool quotaReached, std::size_t before, std::size_t after) {
    const std::string added = std::to_string(after - before);
    if (!keep && quotaReached)
        ui_.ShowMessage(QuotaMessage("The software has only managed to fetch " + added + " videos"), Icon::Exclamation);
    else if (after < kFewVideos)
        ui_.ShowMessage(std::string("There may be a problem with the ") + kVideoSiteLabel +
                            " feed data\n\nThe software has only managed to fetch " + std::to_string(after) + " videos",
                        Icon::Exclamation);
    else if (after == before)
        ui_.ShowMessage(std::string("No new videos were found on ") + kVideoSiteLabel, Icon::Information);
    else if (keep && after == before + 1)
        ui_.ShowMessage(std::string("One new video was found on ") + kVideoSiteLabel +
                            " and added at the front of the current videos",
                        Icon::Information);
    else if (keep)
        ui_.ShowMessage(added + " new videos were found on " + kVideoSiteLabel +
                            " and added at the front of the current videos",
                        Icon::Information);
    else
        ui_.ShowMessage(std::to_string(after) + " videos were retrieved from " + kVideoSiteLabel, Icon::Information);
}

LinkOutcome VideoCatalogue::VideosPageLink(Path& homePage) {
    if (VideoPagesBuilt) return LinkOutcome::Allow();
    return ShowVideoPages(homePage) ? LinkOutcome::Allow() : LinkOutcome::Cancel();
}

LinkOutcome VideoCatalogue::LatestVideosLink(Path& homePage) {
    bool keep = false;
    if (!store_.CurrentVideos.empty()) {
        const Answer answer = ui_.ShowMessage(
            "Do you want to keep the existing videos and add any new ones on the front?", Icon::Question,
            Buttons::YesNoCancel);
        if (answer == Answer::Cancel) return LinkOutcome::Cancel();
        keep = answer == Answer::Yes;
        if (!keep && ui_.ShowMessage("This will wipe all the current videos and then replace them with the latest set "
                                     "of most popular " +
                                         site_.Niche +
                                         " videos on " + kVideoSiteLabel +
                                         " (it will not however affect the Playlist).\n\nDo you "
                                         "want to proceed?",
                                     Icon::Exclamation, Buttons::OkCancel) != Answer::Ok)
            return LinkOutcome::Cancel();
    }
    const Path gallery = site_.WorkFolder / page::kFirstVideos;
    if (FetchLatestVideos(keep)) {
        homePage = gallery;
        return LinkOutcome::CancelAndNavigate(gallery);
    }
    if (keep) return LinkOutcome::Cancel();
    // Going back to a gallery whose videos are gone would start another fetch at once, and
    // leave the old page in view when that one is cancelled too.
    if (store_.CurrentVideos.empty() && homePage == gallery) homePage = site_.WorkFolder / page::kHelp;
    return LinkOutcome::CancelAndNavigate(homePage);
}

LinkOutcome VideoCatalogue::PlaylistPageLink() {
    return ShowPlaylistPages() ? LinkOutcome::Allow() : LinkOutcome::Cancel();
}

LinkOutcome VideoCatalogue::RelatedVideosLink(const std::string& videoId) {
    run_.RelatedVideos = {VideoEntry{videoId, FindVideoTitle(store_, run_, videoId)}};
    VideoFeedClient feed(fetcher_, store_, FeedHost());
    if (!Succeeded(feed.FetchRelatedVideos(videoId, run_.RelatedVideos))) return LinkOutcome::Cancel();
    if (run_.RelatedVideos.size() == 1) {
        ui_.ShowMessage(std::string(kVideoSiteLabel) + " has no related video information for that video",
                        Icon::Information);
        return LinkOutcome::Cancel();
    }
    if (!Succeeded(WriteRelatedVideosPage(run_, site_, ThumbnailHost()))) return LinkOutcome::Cancel();
    return LinkOutcome::CancelAndShowRelated();
}

}  // namespace qen
