#pragma once
// The video links that change the user's videos: add to the playlist, delete a video, wipe
// the playlist. Each asks what it must, changes the store (and marks a changed playlist for
// its pages) and says what the view does next.
#include <string>

#include "base/LinkOutcome.h"

namespace qen {

class Settings;
class Ui;
class VideoStore;
struct VideoRunState;
struct Session;

class VideoEdits {
public:
    VideoEdits(Ui& ui, VideoStore& store, VideoRunState& run, Settings& settings, const Session& session);

    // `page` is the file name of the page in view: a video or related-videos page keeps the
    // user where they are, the playlist page is shown again.
    LinkOutcome AddToPlaylist(const std::string& id, const std::string& page);
    // On a videos page the video leaves the current videos, on a playlist page the playlist;
    // a related-videos page only loses the post. The post becomes an empty cell on the page.
    LinkOutcome DeleteVideo(const std::string& id, const std::string& page);
    // Asks first; afterwards the view goes home.
    LinkOutcome WipePlaylist();

private:
    void BlankPostOnPage(const std::string& page, const std::string& id);

    Ui& ui_;
    VideoStore& store_;
    VideoRunState& run_;
    Settings& settings_;
    const Session& session_;
};

}  // namespace qen
