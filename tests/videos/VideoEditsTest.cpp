#include "videos/VideoEdits.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Session.h"
#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "store/VideoStore.h"
#include "videos/VideoRunState.h"

namespace qen {
namespace {

// The edits over a store with one current video.
struct EditsFixture {
    EditsFixture() { store.CurrentVideos = {{"current01", "A current video"}}; }
    test::FakeUi ui;
    test::FakeSettings settings;
    Session session;
    VideoStore store;
    VideoRunState run;
    VideoEdits edits{ui, store, run, settings, session};
};

// Only a change of the playlist makes its pages stale; a refused or declined link, or one
// that changes only the current videos, leaves them as they are.
TEST(VideoEdits, MarkThePlaylistChangedOnlyWhenItChanged) {
    struct Case {
        const char* name;
        std::size_t playlistSize;  // entries "v0", "v1", ...
        std::vector<Answer> answers;
        std::function<LinkOutcome(VideoEdits&)> follow;
        std::size_t playlistAfter;
        bool changed;
    };
    const Case cases[] = {
        {"added on a videos page", 2, {}, [](VideoEdits& e) { return e.AddToPlaylist("current01", "videos1.html"); },
         3, true},
        {"moved to the front", 2, {}, [](VideoEdits& e) { return e.AddToPlaylist("v1", "help.html"); }, 2, true},
        {"refused: the playlist is full", UserData::kMaxPlaylist, {},
         [](VideoEdits& e) { return e.AddToPlaylist("current01", "videos1.html"); }, UserData::kMaxPlaylist, false},
        {"deleted on a playlist page", 2, {Answer::Yes},
         [](VideoEdits& e) { return e.DeleteVideo("v0", "playlist1.html"); }, 1, true},
        {"deletion declined", 2, {Answer::No}, [](VideoEdits& e) { return e.DeleteVideo("v0", "playlist1.html"); },
         2, false},
        {"not in the playlist", 2, {Answer::Yes},
         [](VideoEdits& e) { return e.DeleteVideo("absent0001", "playlist1.html"); }, 2, false},
        {"a current video deleted", 2, {Answer::Yes},
         [](VideoEdits& e) { return e.DeleteVideo("current01", "videos1.html"); }, 2, false},
        {"wiped", 2, {Answer::Yes}, [](VideoEdits& e) { return e.WipePlaylist(); }, 0, true},
        {"wipe declined", 2, {Answer::No}, [](VideoEdits& e) { return e.WipePlaylist(); }, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditsFixture f;
        for (std::size_t i = 0; i < c.playlistSize; ++i) f.store.Playlist.push_back({"v" + std::to_string(i), "t"});
        f.ui.answers.assign(c.answers.begin(), c.answers.end());

        c.follow(f.edits);
        EXPECT_EQ(f.store.Playlist.size(), c.playlistAfter);
        EXPECT_EQ(f.run.PlaylistChanged, c.changed);
    }
}

// The title comes from where the user saw the video: the current videos, else the related
// videos of the last request.
TEST(VideoEdits, AddToPlaylistTakesTheTitleFromTheVideosShown) {
    EditsFixture f;
    f.run.RelatedVideos = {{"asked00001", "Asked about"}, {"related001", "A related video"}};

    f.edits.AddToPlaylist("related001", "relatedvideos.html");
    f.edits.AddToPlaylist("current01", "relatedvideos.html");
    f.edits.AddToPlaylist("unknown001", "relatedvideos.html");
    EXPECT_EQ(f.store.Playlist, (std::vector<VideoEntry>{{"unknown001", ""},
                                                         {"current01", "A current video"},
                                                         {"related001", "A related video"}}));
}

}  // namespace
}  // namespace qen
