#include "videos/VideoEdits.h"

#include "base/Session.h"
#include "messages/FileMessages.h"
#include "platform/Settings.h"
#include "platform/Ui.h"
#include "store/VideoStore.h"
#include "videos/VideoPosts.h"
#include "videos/VideoRunState.h"
#include "web/Endpoints.h"

namespace qen {

namespace {

bool ShowsVideoPosts(const std::string& page) { return page.starts_with("video") || page.starts_with("related"); }

}  // namespace

VideoEdits::VideoEdits(Ui& ui, VideoStore& store, VideoRunState& run, Settings& settings, const Session& session)
    : ui_(ui), store_(store), run_(run), settings_(settings), session_(session) {}

LinkOutcome VideoEdits::AddToPlaylist(const std::string& id, const std::string& page) {
    if (!store_.AddToPlaylist({id, FindVideoTitle(store_, run_, id)})) {
        ui_.ShowMessage(kPlaylistFullMessage, Icon::Stop);
        return LinkOutcome::Cancel();
    }
    run_.PlaylistChanged = true;
    if (!ShowsVideoPosts(page)) return LinkOutcome::CancelAndShowPlaylist();
    ui_.ShowMessage("The video has been added to the front of the Playlist", Icon::Information);
    return LinkOutcome::Cancel();
}

LinkOutcome VideoEdits::DeleteVideo(const std::string& id, const std::string& page) {
    bool changed = false;
    if (ShowsVideoPosts(page)) {
        if (ui_.ShowMessage("Are you sure you want to delete this video?", Icon::Exclamation, Buttons::YesNo) ==
            Answer::Yes) {
            changed = true;
            // A related-videos page is only a view of the feed: the store keeps the video.
            if (page.starts_with("video") && !store_.DeleteCurrentVideo(id)) {
                ui_.ShowMessage("Failed to delete video", Icon::Stop);
                changed = false;
            }
        }
    } else if (ui_.ShowMessage("Are you sure you want to delete this video from the playlist?", Icon::Exclamation,
                               Buttons::YesNo) == Answer::Yes) {
        if (store_.DeleteFromPlaylist(id)) {
            changed = true;
            run_.PlaylistChanged = true;
        } else {
            ui_.ShowMessage("Failed to delete video from playlist", Icon::Stop);
        }
    }
    if (!changed) return LinkOutcome::Cancel();
    BlankPostOnPage(page, id);
    return LinkOutcome::CancelAndRefresh();
}

void VideoEdits::BlankPostOnPage(const std::string& page, const std::string& id) {
    if (page.empty() || session_.WorkFolder.Empty()) return;
    const Path path = session_.WorkFolder / page;
    FileError error;
    std::optional<std::string> text = ReadWholeFile(path, &error);
    if (!text) {
        // A page that is not a file of the work folder (a web page in view) has no post to blank.
        if (error.kind != FileError::Kind::NotFound && error.kind != FileError::Kind::NotAFile)
            ShowReadFailure(ui_, path, error);
        return;
    }
    const std::string thumbnail = ThumbnailAddress(EndpointValue(settings_, Endpoint::ThumbnailHost), id);
    if (std::optional<std::string> edited = BlankVideoPost(*text, thumbnail)) WriteWholeFile(ui_, path, *edited);
}

LinkOutcome VideoEdits::WipePlaylist() {
    if (ui_.ShowMessage("Are you sure you want to delete the entire playlist?\n(this action cannot be undone)",
                        Icon::Exclamation, Buttons::YesNo) != Answer::Yes)
        return LinkOutcome::Cancel();
    store_.ClearPlaylist();
    run_.PlaylistChanged = true;
    ui_.ShowMessage("The entire Playlist has been deleted", Icon::Information);
    return LinkOutcome::CancelAndNavigate(session_.HomePage);
}

}  // namespace qen
