#include "videos/VideoCatalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "VideoFixture.h"
#include "fakes/EndpointVariables.h"
#include "fakes/FakeSettings.h"
#include "fakes/TempDir.h"
#include "package/ContentSite.h"
#include "videos/VideoPages.h"

namespace qen {
namespace {

using test::BatchUrl;
using test::Ids;
using test::KeywordFeed;
using test::Videos;

class VideoCatalogueTest : public ::testing::Test, protected test::VideoFixture {
protected:
    VideoCatalogueTest() {
        test::ClearEndpointVariables(environment);
        settings.strings[{"Endpoints", "VideoFeedHost"}] = test::kFeedHost;
        settings.strings[{"Endpoints", "ThumbnailHost"}] = test::kThumbHost;
    }

    test::ScopedEnvironment environment;
    test::FakeSettings settings;
    test::TempDir folder;
    ContentSite site = SiteIn(folder.path());
    VideoCatalogue catalogue{ui, ui, fetcher, store, settings, site};
    VideoRunState& run = catalogue.RunState();
    const Path help{"/work/help.html"};
    Path homePage = help;

    static ContentSite SiteIn(const Path& workFolder) {
        ContentSite site;
        site.WorkFolder = workFolder;
        site.PageTemplate = "%%videoposts%%";
        site.Niche = "Dog Training";
        return site;
    }
    bool Exists(const std::string& name) const { return test::Exists(folder / name); }
    void Remove(const std::string& name) const { std::filesystem::remove((folder / name).Bytes()); }

    // Batch 1 of the niche's run brings `videos`, the later ones a feed without entries;
    // batch 2 answers with the quota error when `quotaInBatch2`.
    void AnswerFetch(const std::vector<VideoEntry>& videos, bool quotaInBatch2 = false) {
        fetcher.answers.clear();
        for (int batch = 1; batch <= 20; ++batch) fetcher.answers[BatchUrl("dog-training", batch)] = KeywordFeed({});
        fetcher.answers[BatchUrl("dog-training", 1)] = KeywordFeed(videos);
        if (quotaInBatch2) fetcher.answers[BatchUrl("dog-training", 2)] = test::kQuotaFeed;
    }
};

TEST_F(VideoCatalogueTest, StoredVideosAreShownWithoutFetching) {
    store.CurrentVideos = Videos("v", 31);
    EXPECT_TRUE(catalogue.ShowVideoPages(homePage));
    EXPECT_TRUE(catalogue.VideoPagesBuilt);
    EXPECT_EQ(homePage, folder / "videos1.html");
    EXPECT_TRUE(Exists("videos2.html"));
    EXPECT_TRUE(fetcher.requests.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.busyDepth, 0);

    // Built once: later visits pass straight through.
    Remove("videos1.html");
    EXPECT_TRUE(catalogue.ShowVideoPages(homePage));
    EXPECT_FALSE(Exists("videos1.html"));
}

TEST_F(VideoCatalogueTest, AnEmptyStoreFetchesFirst) {
    AnswerFetch(Videos("v", 60));
    EXPECT_TRUE(catalogue.ShowVideoPages(homePage));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"The software will now fetch the latest videos from YouTube",
                                                    "60 videos were retrieved from YouTube"}));
    EXPECT_EQ(ui.messages.front().icon, Icon::Information);
    EXPECT_EQ(ui.latestVideosDialogsShown, 1);
    EXPECT_EQ(fetcher.requests.front().url,
              "http://feeds.test/feeds/api/videos?q=dog-training&start-index=1&max-results=50&v=2&format=5"
              "&orderby=viewCount");
    EXPECT_TRUE(Exists("videos2.html"));
    EXPECT_TRUE(catalogue.VideoPagesBuilt);
    EXPECT_EQ(homePage, folder / "videos1.html");  // the gallery written by the fetch is home now
}

TEST_F(VideoCatalogueTest, PagesThatCannotBeWrittenAreNotShown) {
    const ContentSite lostSite = SiteIn(folder / "gone/");
    VideoCatalogue lost{ui, ui, fetcher, store, settings, lostSite};
    store.CurrentVideos = Videos("v", 3);
    EXPECT_FALSE(lost.ShowVideoPages(homePage));
    EXPECT_FALSE(lost.VideoPagesBuilt);
    EXPECT_EQ(homePage, help);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Failed to write file " + (folder / "gone/videos1.html").Display()});
    EXPECT_EQ(ui.messages.back().icon, Icon::Stop);
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(VideoCatalogueTest, PlaylistPagesAreRebuiltWhileThePlaylistHasChanged) {
    EXPECT_FALSE(catalogue.ShowPlaylistPages());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                              "There are no videos in your playlist\n\nTo add a video to the playlist, view the "
                              "video and then click the \"Add to Playlist\" button"});
    EXPECT_EQ(ui.messages.back().icon, Icon::Information);

    // As loaded from the user data file: unchanged.
    store.Playlist = Videos("p", 4);
    EXPECT_TRUE(catalogue.ShowPlaylistPages());
    EXPECT_TRUE(Exists("playlist1.html"));
    Remove("playlist1.html");
    EXPECT_TRUE(catalogue.ShowPlaylistPages());
    EXPECT_FALSE(Exists("playlist1.html"));  // built once

    // As the playlist links change it.
    ASSERT_TRUE(store.AddToPlaylist({"added00001", ""}));
    run.PlaylistChanged = true;
    for (int visit = 0; visit < 2; ++visit) {
        EXPECT_TRUE(catalogue.ShowPlaylistPages());
        EXPECT_TRUE(Exists("playlist1.html")) << visit;
        Remove("playlist1.html");
    }
    EXPECT_EQ(run.PlaylistPageCount, 1);
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(VideoCatalogueTest, TheOutcomeOfAFetchIsReported) {
    const std::string tooFew = "There may be a problem with the YouTube feed data\n\nThe software has only managed "
                               "to fetch ";
    const std::string quota = "YouTube is reporting that there have been too many recent calls to the YouTube RSS "
                              "feed API from your IP address\n\nThe software has only managed to fetch ";
    const std::string added = " new videos were found on YouTube and added at the front of the current videos";
    struct Case {
        const char* name;
        int stored;
        bool keep;
        int fresh;       // new videos in the feed
        int known;       // stored videos the feed brings again
        bool quotaAfter; // the quota error in batch 2
        std::string message;
        Icon icon;
    };
    const Case cases[] = {
        {"keep, nothing new", 120, true, 0, 50, false, "No new videos were found on YouTube", Icon::Information},
        {"replace, 30 found", 0, false, 30, 0, false, tooFew + "30 videos", Icon::Exclamation},
        {"keep, 30 and 5 new: still below 50", 30, true, 5, 0, false, tooFew + "35 videos", Icon::Exclamation},
        {"keep, one new", 120, true, 1, 3, false,
         "One new video was found on YouTube and added at the front of the current videos", Icon::Information},
        {"keep, two new", 120, true, 2, 0, false, "2" + added, Icon::Information},
        {"replace, 60 found", 0, false, 60, 0, false, "60 videos were retrieved from YouTube", Icon::Information},
        {"replacing stored videos", 200, false, 75, 0, false, "75 videos were retrieved from YouTube",
         Icon::Information},
        {"keep with no stored videos counts as replace", 0, true, 60, 0, false,
         "60 videos were retrieved from YouTube", Icon::Information},
        {"replace, quota after 60 found", 0, false, 60, 0, true, quota + "60 videos", Icon::Exclamation},
        {"replace, quota after 30 found: the quota comes first", 0, false, 30, 0, true, quota + "30 videos",
         Icon::Exclamation},
        {"keep, quota after 60 new", 120, true, 60, 0, true, "60" + added, Icon::Information},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& entry : std::filesystem::directory_iterator(folder.path().Bytes())) std::filesystem::remove(entry);
        ui.messages.clear();
        store.CurrentVideos = Videos("old", c.stored);
        std::vector<VideoEntry> feed = Videos("new", c.fresh);
        for (const auto& video : Videos("old", c.known)) feed.push_back(video);
        AnswerFetch(feed, c.quotaAfter);

        EXPECT_TRUE(catalogue.FetchLatestVideos(c.keep));
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{c.message});
        for (const auto& message : ui.messages) EXPECT_EQ(message.icon, c.icon);
        EXPECT_TRUE(catalogue.VideoPagesBuilt);
        const std::size_t expected = static_cast<std::size_t>(c.fresh + (c.keep ? c.stored : 0));
        EXPECT_EQ(store.CurrentVideos.size(), expected);
        EXPECT_TRUE(Exists("videos" + std::to_string(PageCountFor(expected)) + ".html"));
    }
}

TEST_F(VideoCatalogueTest, TheFetchRunsInTheProgressDialog) {
    AnswerFetch(Videos("v", 60));
    ASSERT_TRUE(catalogue.FetchLatestVideos(false));
    EXPECT_EQ(ui.statusTexts, std::vector<std::string>{"Fetching Videos From YouTube"});
    ASSERT_EQ(ui.progressTexts.size(), 20u);
    EXPECT_EQ(ui.progressTexts.front(), "Fetching Video Batch 1");
    EXPECT_EQ(ui.progressTexts.back(), "Fetching Video Batch 20");
    EXPECT_GE(ui.pumps, 21);  // the status line, then each batch's line, is painted and Cancel seen
    EXPECT_GE(ui.busyDepthInLatestVideosDialog, 1);
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(VideoCatalogueTest, AFetchThatBringsNoPages) {
    struct Case {
        const char* name;
        int stored;
        bool keep;
        int cancelDuringBatch;
        bool dialogEndsOk;
        std::optional<std::vector<VideoEntry>> feed;  // nullopt: the service is unreachable
        std::vector<std::string> excludedWords;
        std::vector<std::string> messages;
        std::size_t videosAfter;
    };
    const std::string feedError = "There is an error with the YouTube feed data\n\nThe software was unable to fetch "
                                  "any videos\n\nPlease try again later";
    const Case cases[] = {
        {"cancelled, replacing", 90, false, 2, true, Videos("new", 60), {}, {}, 0},
        {"cancelled, keeping", 90, true, 1, true, Videos("new", 60), {}, {}, 90},
        {"failed, replacing", 90, false, 0, true, std::nullopt, {}, {feedError}, 0},
        {"failed, keeping", 90, true, 0, true, std::nullopt, {}, {feedError}, 90},
        {"everything excluded", 0, false, 0, true, Videos("new", 60), {"video"}, {}, 0},
        {"the dialog did not end with OK", 90, true, 0, false, Videos("new", 60), {}, {}, 90},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        catalogue.VideoPagesBuilt = true;
        ui.messages.clear();
        ui.cancelDuringBatch = c.cancelDuringBatch;
        ui.latestVideosDialogEndsOk = c.dialogEndsOk;
        site.ExcludedWords = c.excludedWords;
        store.CurrentVideos = Videos("old", c.stored);
        fetcher.answers.clear();
        if (c.feed) AnswerFetch(*c.feed);

        EXPECT_FALSE(catalogue.FetchLatestVideos(c.keep));
        EXPECT_FALSE(catalogue.VideoPagesBuilt);
        EXPECT_EQ(ui.Texts(), c.messages);
        for (const auto& message : ui.messages) EXPECT_EQ(message.icon, Icon::Stop);
        EXPECT_EQ(store.CurrentVideos.size(), c.videosAfter);
        EXPECT_FALSE(Exists("videos1.html"));
        EXPECT_EQ(ui.busyDepth, 0);
    }
}

TEST_F(VideoCatalogueTest, VideosPageLink) {
    AnswerFetch({});  // nothing found
    EXPECT_EQ(catalogue.VideosPageLink(homePage), LinkOutcome::Cancel());

    store.CurrentVideos = Videos("v", 5);
    ui.messages.clear();
    EXPECT_EQ(catalogue.VideosPageLink(homePage), LinkOutcome::Allow());
    EXPECT_EQ(homePage, folder / "videos1.html");
    EXPECT_TRUE(ui.messages.empty());

    // Built pages are shown even while a download waits.
    fetcher.busy = true;
    EXPECT_EQ(catalogue.VideosPageLink(homePage), LinkOutcome::Allow());
}

TEST_F(VideoCatalogueTest, LatestVideosLink) {
    const std::string keepQuestion = "Do you want to keep the existing videos and add any new ones on the front?";
    const std::string wipeQuestion =
        "This will wipe all the current videos and then replace them with the latest set of most popular Dog "
        "Training videos on YouTube (it will not however affect the Playlist).\n\nDo you want to proceed?";
    const Path videos1 = folder / "videos1.html";
    struct Case {
        const char* name;
        int stored;
        std::vector<Answer> answers;
        bool fetchWorks;
        LinkOutcome outcome;
        std::vector<std::string> questions;
        bool fetched;
        bool oldVideosKept;
    };
    const Case cases[] = {
        {"no videos: no questions", 0, {}, true, LinkOutcome::CancelAndNavigate(videos1), {}, true, false},
        {"no videos, fetch fails: back home", 0, {}, false, LinkOutcome::CancelAndNavigate(help), {},
         true, false},
        {"keep", 60, {Answer::Yes}, true, LinkOutcome::CancelAndNavigate(videos1), {keepQuestion}, true, true},
        {"keep, fetch fails: stay", 60, {Answer::Yes}, false, LinkOutcome::Cancel(), {keepQuestion}, true, true},
        {"replace", 60, {Answer::No, Answer::Ok}, true, LinkOutcome::CancelAndNavigate(videos1),
         {keepQuestion, wipeQuestion}, true, false},
        {"replace, fetch fails: back home", 60, {Answer::No, Answer::Ok}, false,
         LinkOutcome::CancelAndNavigate(help), {keepQuestion, wipeQuestion}, true, false},
        {"replace declined", 60, {Answer::No, Answer::Cancel}, true, LinkOutcome::Cancel(),
         {keepQuestion, wipeQuestion}, false, true},
        {"cancelled at the first question", 60, {Answer::Cancel}, true, LinkOutcome::Cancel(), {keepQuestion}, false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        ui.answers.assign(c.answers.begin(), c.answers.end());
        fetcher.requests.clear();
        homePage = help;  // a successful case before made the gallery home
        store.CurrentVideos = Videos("old", c.stored);
        AnswerFetch(Videos("new", 60));
        ui.cancelDuringBatch = c.fetchWorks ? 0 : 1;

        EXPECT_EQ(catalogue.LatestVideosLink(homePage), c.outcome);
        std::vector<std::string> texts = ui.Texts();
        texts.resize(std::min(texts.size(), c.questions.size()));
        EXPECT_EQ(texts, c.questions);
        EXPECT_EQ(!fetcher.requests.empty(), c.fetched);
        EXPECT_EQ(!store.CurrentVideos.empty() && store.CurrentVideos.back().id == test::VideoId("old", 60),
                  c.oldVideosKept);
        EXPECT_TRUE(ui.answers.empty());
        for (std::size_t n = 0; n < c.questions.size() && n < ui.messages.size(); ++n) {
            EXPECT_EQ(ui.messages[n].icon, n == 0 ? Icon::Question : Icon::Exclamation);
            EXPECT_EQ(ui.messages[n].buttons, n == 0 ? Buttons::YesNoCancel : Buttons::OkCancel);
        }
    }
}

TEST_F(VideoCatalogueTest, AGalleryWipedWithoutNewVideosIsNoLongerHome) {
    // At start-up the stored videos made the gallery the home page.
    store.CurrentVideos = Videos("old", 60);
    ASSERT_TRUE(catalogue.ShowVideoPages(homePage));
    const Path videos1 = folder / "videos1.html";
    ASSERT_EQ(homePage, videos1);
    AnswerFetch(Videos("new", 60));
    ui.answers = {Answer::No, Answer::Ok};
    ui.cancelDuringBatch = 2;

    // Going back to the gallery would fetch again at once, over a page of the wiped videos.
    const Path help = folder / "help.html";
    EXPECT_EQ(catalogue.LatestVideosLink(homePage), LinkOutcome::CancelAndNavigate(help));
    EXPECT_EQ(homePage, help);
    EXPECT_TRUE(store.CurrentVideos.empty());
    EXPECT_EQ(ui.latestVideosDialogsShown, 1);

    // Once videos are fetched again, the gallery is where a successful run goes.
    ui.answers.clear();
    ui.cancelDuringBatch = 0;
    EXPECT_EQ(catalogue.LatestVideosLink(homePage), LinkOutcome::CancelAndNavigate(videos1));
    EXPECT_EQ(homePage, videos1);  // a failed run is not remembered for the rest of the run
}

// The fetch only reports; the catalogue, with the user in front of it, tells its message
// before what the run itself has to say.
TEST_F(VideoCatalogueTest, TheFetchersMessageIsToldFirst) {
    const std::string unreachable = "Unable to access YouTube\n\nError: InternetOpen failed";
    const std::string id = "asked000001";
    store.CurrentVideos = {{id, "The one asked about"}};
    AnswerFetch({});
    fetcher.failures[BatchUrl("dog-training", 1)] = unreachable;
    fetcher.failures[test::RelatedUrl(id)] = unreachable;

    EXPECT_FALSE(catalogue.FetchLatestVideos(true));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, unreachable);
    EXPECT_TRUE(ui.messages[1].text.starts_with("There is an error with the YouTube feed data"));

    ui.messages.clear();
    EXPECT_EQ(catalogue.RelatedVideosLink(id), LinkOutcome::Cancel());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{unreachable});
    for (const auto& message : ui.messages) EXPECT_EQ(message.icon, Icon::Stop);
}

TEST_F(VideoCatalogueTest, PlaylistPageLink) {
    ui.answers.clear();
    EXPECT_EQ(catalogue.PlaylistPageLink(), LinkOutcome::Cancel());
    store.Playlist = Videos("p", 2);
    EXPECT_EQ(catalogue.PlaylistPageLink(), LinkOutcome::Allow());
    EXPECT_TRUE(Exists("playlist1.html"));
}

TEST_F(VideoCatalogueTest, RelatedVideosLink) {
    const std::string id = "asked000001";
    fetcher.answers[test::RelatedUrl(id)] = test::RelatedFeed(Videos("r", 49));
    store.CurrentVideos = {{id, "The one asked about"}};
    run.RelatedVideos = Videos("old", 3);  // from an earlier request

    EXPECT_EQ(catalogue.RelatedVideosLink(id), LinkOutcome::CancelAndShowRelated());
    ASSERT_EQ(run.RelatedVideos.size(), 50u);
    EXPECT_EQ(run.RelatedVideos.front(), (VideoEntry{id, "The one asked about"}));
    EXPECT_EQ(test::ReadFile(folder / "relatedvideos.html"),
              RelatedVideosPageText(run.RelatedVideos, site, test::kThumbHost));
    EXPECT_NE(test::ReadFile(folder / "relatedvideos.html").find("http://thumbs.test/vi/" + test::VideoId("r", 49)),
              std::string::npos);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(VideoCatalogueTest, NoRelatedVideosPageWithoutRelatedVideos) {
    const std::string asked = "asked000001";
    struct Case {
        const char* name;
        const char* answer;  // nullptr: nothing downloaded
        std::vector<std::string> messages;
        Icon icon;
    };
    const Case cases[] = {
        {"a feed without entries", "<?xml version='1.0'?><feed></feed>",
         {"YouTube has no related video information for that video"}, Icon::Information},
        {"nothing downloaded", nullptr, {}, Icon::None},
        {"no feed document", "Gateway timeout",
         {"There is an error with the YouTube feed data\n\nThe software was unable to fetch any related videos\n\n"
          "Please try again later"},
         Icon::Stop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        fetcher.answers.clear();
        if (c.answer) fetcher.answers[test::RelatedUrl(asked)] = c.answer;
        EXPECT_EQ(catalogue.RelatedVideosLink(asked), LinkOutcome::Cancel());
        EXPECT_EQ(ui.Texts(), c.messages);
        for (const auto& message : ui.messages) EXPECT_EQ(message.icon, c.icon);
        EXPECT_FALSE(Exists("relatedvideos.html"));
        // The video asked about is there, with no title when it is not a current video.
        EXPECT_EQ(run.RelatedVideos, (std::vector<VideoEntry>{{asked, ""}}));
    }
}

}  // namespace
}  // namespace qen
