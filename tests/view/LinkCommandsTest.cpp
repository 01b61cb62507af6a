#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/LinkAddress.h"
#include "view/ViewFixture.h"

namespace qen::test {
namespace {

// --- Which command takes an address -----------------------------------------------------

struct MatchCase {
    std::string address;  // "W:" stands for the work folder
    int command;
};

TEST_F(ViewFixture, EachAddressIsTakenByTheFirstMatchingCommand) {
    const std::vector<MatchCase> cases = {
        {"http://launch.test/?sw=Brambleset.exe", 1},
        {"http://launch.test/", 1},
        {"http://launch.test/?sw=tool.exe", 1},         // before the ".exe" command
        {"http://launch.test/more/?sw=a.exe", 2},       // not the launch address itself
        {"W:tool.exe", 2},
        {"W:TOOL.EXE", 2},
        {"http://example.com/setup.exe", 2},            // before the external browser
        {"http://example.com/", 3},
        {"http://example.com/playlist_abc.html", 3},    // web links are never commands
        {"http://launch.test/more/", 3},
        {"http://www.videos.test/watch?v=abc", 19},     // the video site stays inside
        {"http://ads.test/banner.html", 19},            // so does the advertiser
        {"https://example.com/playlist_abc.html", 19},  // a secure page is a web page too
        {"https://example.com/wipeplaylist.html", 19},
        {"https://example.com/setup.exe", 2},
        {"https://example.com/", 19},
        {"W:wipeplaylist.html", 7},
        {"W:goback.html", 8},
        {"goback.html", 0},                             // a bare name is no page the view shows
        {"W:playlist_abc.html", 9},
        {"/somewhere/else/playlist_abc.html", 0},       // commands live in the work folder only
        {"W:playlist_.html", 9},
        {"W:Playlist_abc.html", 19},
        {"W:playlist_abc.htm", 19},
        {"W:videos1.html", 4},
        {"W:latestvideos.html", 5},
        {"W:playlist1.html", 6},
        {"W:savearticle_12.html", 10},
        {"W:unsavearticle_12.html", 11},                 // not "savearticle_"
        {"W:youtube_abc.html", 12},
        {"W:related_abc.html", 13},
        {"W:ezine_123.html", 17},
        {"W:articles.html", 18},
        {"http://example.com/articles.html", 3},
        {"W:delete_abc.html", 14},
        {"W:ezine_xwipeplaylist.html", 17},              // only ends like that page
        {"W:playlist_xvideos1.html", 9},
        {"W:help.html", 19},
        {"W:index.html", 19},
        {"W:videos2.html", 19},
        {"W:sub/delete_x.html", 0},
    };
    for (const MatchCase& c : cases) {
        const std::string address = c.address.rfind("W:", 0) == 0 ? W(c.address.substr(2)) : c.address;
        EXPECT_EQ(view.links().MatchingCommand(address), c.command) << address;
    }
}

TEST_F(ViewFixture, EndpointsFromTheEnvironmentDecideWhatStaysInside) {
    environment.Set("QEN_ADVERT_HOST", "127.0.0.1:8765");
    EXPECT_EQ(view.links().MatchingCommand("http://127.0.0.1:8765/ad.html"), 19);
    EXPECT_EQ(view.links().MatchingCommand("http://ads.test/banner.html"), 3);
}

TEST(LinkTests, ParseLinkCommandGivesTheTextBetweenPrefixAndHtml) {
    struct Case {
        std::string address, prefix;
        bool matches;
        std::string argument;
    };
    const std::vector<Case> cases = {
        {"/w/playlist_abc.html", "playlist_", true, "abc"},
        {"/w/playlist_.html", "playlist_", true, ""},
        {"C:\\w\\diary_new.html", "diary_", true, "new"},
        {"/w/playlist_a.b.html", "playlist_", true, "a.b"},
        {"/w/playlist_abc.html", "list_", false, ""},
        {"/w/playlist_abc.HTML", "playlist_", false, ""},
        {"/w/playlist.html", "playlist_", false, ""},
        {"http://host/playlist_abc.html", "playlist_", false, ""},
        {"https://host/playlist_abc.html", "playlist_", false, ""},
        {"/w/playlist_abc.html?x=1", "playlist_", false, ""},
    };
    for (const Case& c : cases) {
        std::string argument = "unchanged";
        EXPECT_EQ(ParseLinkCommand(c.address, c.prefix, argument), c.matches) << c.address;
        if (c.matches) {
            EXPECT_EQ(argument, c.argument) << c.address;
        }
    }
}

TEST(LinkTests, IsLocalPageComparesTheEndOfANonWebAddress) {
    EXPECT_TRUE(IsLocalPage("/w/videos1.html", "videos1.html"));
    EXPECT_TRUE(IsLocalPage("videos1.html", "videos1.html"));
    EXPECT_FALSE(IsLocalPage("https://host/videos1.html", "videos1.html"));
    EXPECT_FALSE(IsLocalPage("http://host/videos1.html", "videos1.html"));
    EXPECT_FALSE(IsLocalPage("/w/Videos1.html", "videos1.html"));
    EXPECT_FALSE(IsLocalPage("/w/videos1.html#top", "videos1.html"));
}

// --- Where commands may come from ------------------------------------------------------

// A remote page shown in the view, or an address of another scheme, names a pseudo-link:
// nothing may happen to the user's data, no dialog, no download, no program.
TEST_F(ViewFixture, CommandsRunOnlyFromTheProgramsOwnPagesInTheWorkFolder) {
    struct Case {
        const char* why;
        std::string currentPage;  // "W:" stands for the work folder
        std::string address;
        int command;
    };
    const std::vector<Case> cases = {
        {"another scheme", "W:help.html", "ftp://h/playlist_abc.html", 0},
        {"a mail address", "W:help.html", "mailto:a@b.test/wipeplaylist.html", 0},
        {"a data address", "W:help.html", "data:text/html,x/latestvideos.html", 0},
        {"a scheme of its own", "W:help.html", "x-qen:/diary_new.html", 0},
        {"a file on another host", "W:help.html", AddressOfViewUrl("file://evil.test" + W("playlist_abc.html")), 0},
        {"a folder below", "W:help.html", "W:sub/playlist_abc.html", 0},
        {"a name holding a separator", "W:help.html", "W:sub\\playlist_abc.html", 0},
        {"a folder elsewhere", "W:help.html", "/elsewhere/notepad_new.html", 0},
        {"from the video site's page", "http://www.videos.test/watch?v=1", "W:playlist_abc.html", 0},
        {"wiping from a secure page", "https://x.test/", "W:wipeplaylist.html", 0},
        {"a launch from an advert", "http://ads.test/a.html", "http://launch.test/?sw=Brambleset.exe", 0},
        {"from a local page outside the work folder", "/elsewhere/page.html", "W:diary_new.html", 0},
        {"an encoded slash stays in the name", "W:articles.html",
         AddressOfViewUrl("file://" + W("ezine_%2Fplaylist_abc.html")), 17},
        // What stays as it was.
        {"Back or Home from the video site to the list", "http://www.videos.test/watch?v=1", "W:videos1.html", 4},
        {"a web page from a web page", "http://www.videos.test/", "https://x.test/", 19},
        {"an outside page from a web page", "http://www.videos.test/", "http://example.com/", 3},
    };
    const auto at = [this](const std::string& address) {
        return address.rfind("W:", 0) == 0 ? W(address.substr(2)) : address;
    };
    store.CurrentVideos = {{"abc", "A video"}};
    store.Playlist = {{"old", "Kept"}};
    store.SavedArticles = {{"1", "Saved"}};
    WriteFile(W("videos1.html"), "videos");
    for (const Case& c : cases) {
        window.currentAddress = at(c.currentPage);
        const std::string address = at(c.address);
        EXPECT_EQ(view.links().MatchingCommand(address), c.command) << c.why;
        const bool allowed = !view.OnBeforeNavigate(address, ViewEvents::Origin::Page);
        EXPECT_EQ(allowed, c.command == 4 || c.command == 19) << c.why;
    }
    EXPECT_EQ(store.Playlist, (std::vector<VideoEntry>{{"old", "Kept"}}));
    EXPECT_EQ(store.SavedArticles.size(), 1u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(fetcher.requests.empty());
    EXPECT_TRUE(system.started.empty());
    EXPECT_EQ(system.launched.size(), 1u);  // the outside page, in the user's browser
    EXPECT_TRUE(window.timerStarts.empty());
}

TEST_F(ViewFixture, TheSameLinksRunFromTheProgramsOwnPages) {
    store.CurrentVideos = {{"abc", "A video"}};
    for (const std::string& current : {std::string(), std::string("about:blank"), W("help.html")}) {
        store.Playlist.clear();
        window.currentAddress = current;
        EXPECT_EQ(view.links().MatchingCommand(W("playlist_abc.html")), 9) << current;
        EXPECT_TRUE(view.OnBeforeNavigate(W("playlist_abc.html"), ViewEvents::Origin::Page));
        EXPECT_EQ(store.Playlist.size(), 1u) << current;
    }
    window.currentAddress = W("help.html");
    EXPECT_TRUE(view.OnBeforeNavigate(std::string(kLaunch) + "?sw=Brambleset.exe", ViewEvents::Origin::Page));
    EXPECT_EQ(system.started.size(), 1u);
}

// --- Launching programs -----------------------------------------------------------------

TEST_F(ViewFixture, LaunchLinkStartsOnlyAPlainProgramNameFromTheWorkFolder) {
    struct Case {
        std::string sw;
        std::vector<std::string> args;  // empty: nothing is started
    };
    const std::vector<Case> cases = {
        {"Brambleset.exe", {"Brambleset.exe", "QZXPATH=/opt/qen/=QZXPATH"}},
        {"brambleset.exe", {"brambleset.exe"}},
        {"Tool.EXE", {"Tool.EXE"}},
        {"notes.txt", {}},
        {"", {}},
        {"../Brambleset.exe", {}},
        {"..", {}},
        {"sub/tool.exe", {}},
        {"..\\tool.exe", {}},
        {"/usr/bin/tool.exe", {}},
    };
    for (const Case& c : cases) {
        system.started.clear();
        control.launched.clear();
        EXPECT_TRUE(view.OnBeforeNavigate(std::string(kLaunch) + "?sw=" + c.sw, ViewEvents::Origin::Page)) << c.sw;
        if (c.args.empty()) {
            EXPECT_TRUE(system.started.empty()) << c.sw;
            EXPECT_TRUE(control.launched.empty()) << c.sw;
            continue;
        }
        ASSERT_EQ(system.started.size(), 1u) << c.sw;
        EXPECT_EQ(system.started[0].program, W(c.sw));
        EXPECT_EQ(system.started[0].args, c.args);
        EXPECT_EQ(control.launched.size(), 1u);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ViewFixture, ProgramThatCannotStartIsNotRecordedAndShowsNothing) {
    system.programsThatFail.insert(W("Brambleset.exe"));
    system.programsThatFail.insert(W("tool.exe"));
    EXPECT_TRUE(view.OnBeforeNavigate(std::string(kLaunch) + "?sw=Brambleset.exe", ViewEvents::Origin::Page));
    OnPage("help.html");
    EXPECT_TRUE(view.OnBeforeNavigate(W("tool.exe"), ViewEvents::Origin::Page));
    EXPECT_EQ(system.started.size(), 2u);
    EXPECT_TRUE(control.launched.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ViewFixture, ProgramLinkStartsOnlyWorkFolderProgramsLinkedFromLocalPages) {
    struct Case {
        std::string currentPage;
        std::string address;
        bool started;
    };
    const std::vector<Case> cases = {
        {W("help.html"), W("tool.exe"), true},
        {W("help.html"), W("bin/Tool.EXE"), true},
        {"", W("tool.exe"), true},
        {"http://ads.test/offer.html", W("tool.exe"), false},
        {"https://ads.test/offer.html", W("tool.exe"), false},
        {W("help.html"), "/usr/bin/tool.exe", false},
        {W("help.html"), W("../tool.exe"), false},
        {W("help.html"), "http://example.com/setup.exe", false},
        {W("help.html"), work.path().WithoutTrailingSlash().Bytes() + "x.exe", false},  // beside it
    };
    for (const Case& c : cases) {
        system.started.clear();
        window.currentAddress = c.currentPage;
        EXPECT_TRUE(view.OnBeforeNavigate(c.address, ViewEvents::Origin::Page)) << c.address;
        if (!c.started) {
            EXPECT_TRUE(system.started.empty()) << c.address << " from " << c.currentPage;
            continue;
        }
        ASSERT_EQ(system.started.size(), 1u) << c.address;
        EXPECT_EQ(system.started[0].program, c.address);
        EXPECT_EQ(system.started[0].args, std::vector<std::string>{c.address});
    }
    EXPECT_EQ(control.launched.size(), 3u);
}

// --- Outside addresses ------------------------------------------------------------------

TEST_F(ViewFixture, WebLinksAndVideoLinksOpenOutside) {
    EXPECT_TRUE(view.OnBeforeNavigate("http://example.com/page?a=1", ViewEvents::Origin::Page));
    EXPECT_TRUE(view.OnBeforeNavigate(W("youtube_Ab-9_xyz.html"), ViewEvents::Origin::Page));
    ASSERT_EQ(system.launched.size(), 2u);
    EXPECT_EQ(system.launched[0].args.back(), "http://example.com/page?a=1");
    EXPECT_EQ(system.launched[1].args.back(), "http://www.videos.test/watch?v=Ab-9_xyz");
    EXPECT_TRUE(window.navigations.empty());
}

TEST_F(ViewFixture, PagesThatStayInsideAreAllowedWithoutAction) {
    for (const std::string& address : {std::string("http://www.videos.test/v/1"), std::string("https://x.test/"),
                                      W("help.html"), W("videos2.html"), W("related.html")}) {
        EXPECT_FALSE(view.OnBeforeNavigate(address, ViewEvents::Origin::Page)) << address;
    }
    EXPECT_TRUE(system.launched.empty());
    EXPECT_TRUE(system.started.empty());
    EXPECT_TRUE(window.timerStarts.empty());
    EXPECT_TRUE(ui.messages.empty());
}

// --- Playlist and saved articles --------------------------------------------------------

TEST_F(ViewFixture, WipePlaylistAsksFirstAndThenReturnsHome) {
    store.Playlist = {{"a", "A"}, {"b", "B"}};

    ui.answers = {Answer::No};
    EXPECT_TRUE(view.OnBeforeNavigate(W("wipeplaylist.html"), ViewEvents::Origin::Page));
    EXPECT_EQ(store.Playlist.size(), 2u);
    EXPECT_TRUE(window.timerStarts.empty());

    ui.answers = {Answer::Yes};
    EXPECT_TRUE(view.OnBeforeNavigate(W("wipeplaylist.html"), ViewEvents::Origin::Page));
    EXPECT_TRUE(store.Playlist.empty());
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[1].text,
              "Are you sure you want to delete the entire playlist?\n(this action cannot be undone)");
    EXPECT_EQ(ui.messages[1].icon, Icon::Exclamation);
    EXPECT_EQ(ui.messages[1].buttons, Buttons::YesNo);
    EXPECT_EQ(ui.messages[2].text, "The entire Playlist has been deleted");
    EXPECT_EQ(ui.messages[2].icon, Icon::Information);
    EXPECT_EQ(view.deferred().PendingAddress(), session.HomePage.Bytes());
    EXPECT_EQ(window.timerStarts, std::vector<int>{DeferredActions::kNavigationTimer});
}

TEST_F(ViewFixture, GoBackLinkGoesBackAfterTheEvent) {
    EXPECT_TRUE(view.OnBeforeNavigate(W("goback.html"), ViewEvents::Origin::Page));
    EXPECT_EQ(window.backs, 0);
    view.OnTimer(DeferredActions::kNavigationTimer);
    EXPECT_EQ(window.backs, 1);
    EXPECT_TRUE(window.navigations.empty());
}

TEST_F(ViewFixture, AddToPlaylistConfirmsOnVideoPagesAndShowsThePlaylistElsewhere) {
    store.CurrentVideos = {{"abc", "A video"}};
    struct Case {
        std::string page;
        bool message;
    };
    for (const Case& c : std::vector<Case>{{"videos3.html", true},
                                           {"relatedvideos.html", true},
                                           {"playlist2.html", false},
                                           {"help.html", false}}) {
        ui.messages.clear();
        window.timerStarts.clear();
        store.Playlist.clear();
        OnPage(c.page);
        EXPECT_TRUE(view.OnBeforeNavigate(W("playlist_abc.html"), ViewEvents::Origin::Page));
        ASSERT_EQ(store.Playlist.size(), 1u);
        EXPECT_EQ(store.Playlist[0], (VideoEntry{"abc", "A video"}));
        if (c.message) {
            ASSERT_EQ(ui.messages.size(), 1u) << c.page;
            EXPECT_EQ(ui.messages[0].text, "The video has been added to the front of the Playlist");
            EXPECT_EQ(ui.messages[0].icon, Icon::Information);
            EXPECT_TRUE(window.timerStarts.empty());
        } else {
            EXPECT_TRUE(ui.messages.empty()) << c.page;
            EXPECT_EQ(window.timerStarts, std::vector<int>{DeferredActions::kPlaylistTimer});
        }
    }
}

TEST_F(ViewFixture, FullPlaylistRefusesWithoutMovingOn) {
    for (std::size_t i = 0; i < UserData::kMaxPlaylist; ++i)
        store.Playlist.push_back({"v" + std::to_string(i), "t"});
    OnPage("help.html");
    EXPECT_TRUE(view.OnBeforeNavigate(W("playlist_new.html"), ViewEvents::Origin::Page));
    EXPECT_EQ(store.Playlist.size(), UserData::kMaxPlaylist);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kPlaylistFullMessage});
    EXPECT_TRUE(window.timerStarts.empty());
}

TEST_F(ViewFixture, UnsaveArticleAsksAndShowsTheArticleListAgain) {
    store.SavedArticles = {{"12", "Twelve"}, {"7", "Seven"}};

    ui.answers = {Answer::Cancel};
    EXPECT_TRUE(view.OnBeforeNavigate(W("unsavearticle_12.html"), ViewEvents::Origin::Page));
    EXPECT_EQ(store.SavedArticles.size(), 2u);
    EXPECT_TRUE(window.timerStarts.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Delete this article from the Saved Articles list?");
    EXPECT_EQ(ui.messages[0].icon, Icon::Question);
    EXPECT_EQ(ui.messages[0].buttons, Buttons::OkCancel);

    ui.answers = {Answer::Ok};
    EXPECT_TRUE(view.OnBeforeNavigate(W("unsavearticle_12.html"), ViewEvents::Origin::Page));
    EXPECT_EQ(store.SavedArticles, (std::vector<SavedArticle>{{"7", "Seven"}}));
    EXPECT_EQ(view.deferred().PendingAddress(), W("articles.html"));
}

// --- Deleting a video -------------------------------------------------------------------

const std::string kPostA =
    "<div class=\"videopost\"><div class=\"videopostthumb\"><a href=\"#\"><img "
    "src=\"http://img.videos.test/vi/aaa/0.jpg\"></a></div><div class=\"videoposttitle\">A</div></div>\r\n";
const std::string kPostB =
    "<div class=\"videopost\"><div class=\"videopostthumb\"><a href=\"#\"><img "
    "src=\"http://img.videos.test/vi/bbb/0.jpg\"></a></div><div class=\"videoposttitle\">B</div></div>\r\n";
const std::string kBlank = "<div class=\"videopostblank\">&nbsp;</div>\r\n";
const std::string kHead = "<html><body>\r\n";
const std::string kTail = "</body></html>";

TEST_F(ViewFixture, DeleteOnAVideosPageRemovesTheVideoAndBlanksItsPost) {
    store.CurrentVideos = {{"aaa", "A"}, {"bbb", "B"}};
    WriteFile(W("videos1.html"), kHead + kPostA + kPostB + kTail);
    OnPage("videos1.html");
    ui.answers = {Answer::Yes};

    EXPECT_TRUE(view.OnBeforeNavigate(W("delete_bbb.html"), ViewEvents::Origin::Page));

    EXPECT_EQ(ui.messages.at(0).text, "Are you sure you want to delete this video?");
    EXPECT_EQ(ui.messages.at(0).icon, Icon::Exclamation);
    EXPECT_EQ(ui.messages.at(0).buttons, Buttons::YesNo);
    EXPECT_EQ(store.CurrentVideos, (std::vector<VideoEntry>{{"aaa", "A"}}));
    EXPECT_EQ(ReadFile(W("videos1.html")), kHead + kPostA + kBlank + kTail);
    EXPECT_EQ(window.timerStarts, std::vector<int>{DeferredActions::kRefreshTimer});
}

TEST_F(ViewFixture, DeleteOnARelatedPageChangesOnlyThePage) {
    store.CurrentVideos = {{"aaa", "A"}};
    WriteFile(W("relatedvideos.html"), kHead + kPostA + kPostB + kTail);
    OnPage("relatedvideos.html");
    ui.answers = {Answer::Yes};

    EXPECT_TRUE(view.OnBeforeNavigate(W("delete_aaa.html"), ViewEvents::Origin::Page));

    EXPECT_EQ(store.CurrentVideos.size(), 1u);
    EXPECT_EQ(ReadFile(W("relatedvideos.html")), kHead + kBlank + kPostB + kTail);
    EXPECT_EQ(window.timerStarts, std::vector<int>{DeferredActions::kRefreshTimer});
}

TEST_F(ViewFixture, DeleteOnAPlaylistPageRemovesFromThePlaylist) {
    store.Playlist = {{"aaa", "A"}, {"bbb", "B"}};
    WriteFile(W("playlist1.html"), kHead + kPostA + kPostB + kTail);
    OnPage("playlist1.html");
    ui.answers = {Answer::Yes};

    EXPECT_TRUE(view.OnBeforeNavigate(W("delete_aaa.html"), ViewEvents::Origin::Page));

    EXPECT_EQ(ui.messages.at(0).text, "Are you sure you want to delete this video from the playlist?");
    EXPECT_EQ(store.Playlist, (std::vector<VideoEntry>{{"bbb", "B"}}));
    EXPECT_EQ(ReadFile(W("playlist1.html")), kHead + kBlank + kPostB + kTail);
}

TEST_F(ViewFixture, DeleteThatFailsOrIsDeclinedLeavesEverything) {
    struct Case {
        std::string page;
        Answer answer;
        std::vector<std::string> messagesAfterQuestion;
    };
    const std::vector<Case> cases = {
        {"videos1.html", Answer::Yes, {"Failed to delete video"}},
        {"playlist1.html", Answer::Yes, {"Failed to delete video from playlist"}},
        {"videos1.html", Answer::No, {}},
        {"playlist1.html", Answer::No, {}},
    };
    const std::string page = kHead + kPostA + kTail;
    for (const Case& c : cases) {
        ui.messages.clear();
        window.timerStarts.clear();
        WriteFile(W(c.page), page);
        OnPage(c.page);
        ui.answers = {c.answer};
        EXPECT_TRUE(view.OnBeforeNavigate(W("delete_zzz.html"), ViewEvents::Origin::Page));
        std::vector<std::string> texts = ui.Texts();
        ASSERT_FALSE(texts.empty());
        texts.erase(texts.begin());
        EXPECT_EQ(texts, c.messagesAfterQuestion) << c.page;
        for (const ShownMessage& message : ui.messages)
            if (message.buttons == Buttons::Ok) {
                EXPECT_EQ(message.icon, Icon::Stop);
            }
        EXPECT_EQ(ReadFile(W(c.page)), page);
        EXPECT_TRUE(window.timerStarts.empty()) << c.page;
    }
}

TEST_F(ViewFixture, PageWithoutTheWholePostIsLeftAsItIsButStillRefreshed) {
    const std::vector<std::string> pages = {
        kHead + "<img src=\"http://img.videos.test/vi/aaa/0.jpg\">" + kTail,           // no post start
        kHead + "<div class=\"videopost\"><img src=\"http://img.videos.test/vi/aaa/0.jpg\">",  // no end
        kHead + kPostB + kTail,                                                         // not on the page
        "http://img.videos.test/vi/aaa/0.jpg",                                          // at the very start
    };
    for (const std::string& page : pages) {
        store.CurrentVideos = {{"aaa", "A"}};
        window.timerStarts.clear();
        WriteFile(W("videos1.html"), page);
        OnPage("videos1.html");
        ui.answers = {Answer::Yes};
        EXPECT_TRUE(view.OnBeforeNavigate(W("delete_aaa.html"), ViewEvents::Origin::Page));
        EXPECT_EQ(ReadFile(W("videos1.html")), page);
        EXPECT_EQ(window.timerStarts, std::vector<int>{DeferredActions::kRefreshTimer});
    }
    // A page that is gone entirely is no error either.
    std::filesystem::remove(W("videos1.html"));
    store.CurrentVideos = {{"aaa", "A"}};
    ui.messages.clear();
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(view.OnBeforeNavigate(W("delete_aaa.html"), ViewEvents::Origin::Page));
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(W("videos1.html")));
}

}  // namespace
}  // namespace qen::test

namespace qen::test {
namespace {

// Messages are pumped while a download waits: whatever arrives then must not start another
// one or change what the waiting one will show.
TEST_F(ViewFixture, WhileADownloadWaitsNothingElseStarts) {
    fetcher.busy = true;
    store.CurrentVideos = {{"asked000001", "A stored video"}};
    const std::string addresses[] = {W("playlist_abc.html"), W("videos1.html"),  W("latestvideos.html"),
                                     W("related_asked000001.html"), W("articles.html"), W("ezine_5.html"),
                                     W("notepad_new.html"),  "http://example.com/", W("help.html")};
    for (const std::string& address : addresses)
        EXPECT_TRUE(view.OnBeforeNavigate(address, ViewEvents::Origin::Page)) << address;
    EXPECT_TRUE(store.Playlist.empty());
    EXPECT_TRUE(fetcher.requests.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.latestVideosDialogsShown, 0);
    EXPECT_TRUE(system.launched.empty());
    EXPECT_FALSE(articles.ListBuilt());
    for (const char* page : {"videos1.html", "relatedvideos.html", "articles.html", "currentarticle.html"})
        EXPECT_FALSE(Exists(W(page))) << page;

    view.OnMenuCommand(MenuCommand::Home);
    view.deferred().DeferNavigation(W("notepad.html"));
    view.OnTimer(DeferredActions::kNavigationTimer);
    EXPECT_TRUE(window.navigations.empty());
    EXPECT_EQ(window.runningTimers.count(DeferredActions::kNavigationTimer), 1u);  // it comes back

    fetcher.busy = false;
    view.OnTimer(DeferredActions::kNavigationTimer);
    EXPECT_EQ(window.navigations, std::vector<std::string>{W("notepad.html")});
}

// The program's own navigation (the first page, while start-up looks for a new version)
// meets a waiting download too: it is not lost but shown once the download is over.
TEST_F(ViewFixture, APageTheProgramAskedForWhileADownloadWaitsIsShownAfterIt) {
    fetcher.busy = true;
    EXPECT_TRUE(view.OnBeforeNavigate(W("help.html"), ViewEvents::Origin::Program));
    view.OnTimer(DeferredActions::kNavigationTimer);
    EXPECT_TRUE(window.navigations.empty());
    EXPECT_EQ(window.runningTimers.count(DeferredActions::kNavigationTimer), 1u);

    fetcher.busy = false;
    view.OnTimer(DeferredActions::kNavigationTimer);
    EXPECT_EQ(window.navigations, std::vector<std::string>{W("help.html")});
    EXPECT_FALSE(view.OnBeforeNavigate(W("help.html"), ViewEvents::Origin::Program));
}

// Between the batches of "Get Latest Videos" no download waits, yet the run is not over.
TEST_F(ViewFixture, WhileTheLatestVideosAreFetchedNothingElseStarts) {
    OnPage("videos1.html");
    store.CurrentVideos = {{"asked000001", "A stored video"}};
    std::vector<bool> refused;
    std::size_t requestsBefore = 0, requestsAfter = 0;
    ui.onPump = [&] {
        if (!refused.empty()) return;
        requestsBefore = fetcher.requests.size();
        for (const char* page : {"videos1.html", "latestvideos.html", "related_asked000001.html"})
            refused.push_back(view.OnBeforeNavigate(W(page), ViewEvents::Origin::Page));
        view.OnMenuCommand(MenuCommand::Home);
        requestsAfter = fetcher.requests.size();
    };
    videos.FetchLatestVideos(true);
    EXPECT_EQ(refused, std::vector<bool>(3, true));
    EXPECT_EQ(requestsAfter, requestsBefore);
    EXPECT_EQ(ui.latestVideosDialogsShown, 1);
    EXPECT_TRUE(window.navigations.empty());

    // Once it is over, the links work again.
    ui.onPump = nullptr;
    const std::size_t requests = fetcher.requests.size();
    view.OnBeforeNavigate(W("related_asked000001.html"), ViewEvents::Origin::Page);
    EXPECT_EQ(fetcher.requests.size(), requests + 1);
}

// The article list is fetched on its first visit, from the timer, not inside the click;
// the click goes to the waiting page meanwhile.
TEST_F(ViewFixture, TheFirstVisitToTheArticlesFetchesTheirFeedAfterTheClick) {
    site.ArticleCategory = "Pets:Dogs.xml";
    site.PageTemplate = "%%videoposts%%";
    EXPECT_FALSE(view.OnBeforeNavigate(W("articles.html"), ViewEvents::Origin::Page));
    EXPECT_TRUE(fetcher.requests.empty());
    view.OnTimer(DeferredActions::kNavigationTimer);
    ASSERT_EQ(fetcher.requests.size(), 1u);
    EXPECT_EQ(fetcher.requests[0].channel, FetchChannel::Articles);
    EXPECT_EQ(fetcher.requests[0].url, "http://ezinearticles.com/category/Pets:Dogs.xml");
    EXPECT_EQ(window.navigations, std::vector<std::string>{W("articles.html")});
}

}  // namespace
}  // namespace qen::test
