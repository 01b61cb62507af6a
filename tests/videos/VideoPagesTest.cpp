#include "videos/VideoPages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "VideoFixture.h"
#include "fakes/FilledPageCheck.h"
#include "fakes/TempDir.h"
#include "package/ContentSite.h"
#include "web/Endpoints.h"

namespace qen {
namespace {

using test::Videos;

const std::string kPost = "<div class=\"videopost\">";
const std::string kBlank = "<div class=\"videopostblank\">&nbsp;</div>\r\n";
const std::string kBreak = "<br>\r\n";

// The grid of a body, one letter per piece: P a post, B a blank post, R a row break.
std::string Shape(const std::string& body) {
    std::string shape;
    for (std::size_t at = 0; at < body.size();) {
        if (body.compare(at, kPost.size(), kPost) == 0) {
            shape += 'P';
            at = body.find("</div></div>\r\n", at) + 14;
        } else if (body.compare(at, kBlank.size(), kBlank) == 0) {
            shape += 'B';
            at += kBlank.size();
        } else if (body.compare(at, kBreak.size(), kBreak) == 0) {
            shape += 'R';
            at += kBreak.size();
        } else {
            return shape + "?" + body.substr(at, 40);
        }
    }
    return shape;
}

std::size_t Count(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int n = 0; n < times; ++n) text += piece;
    return text;
}

ContentSite Site(const std::string& pageTemplate, const Path& folder = Path("/work/")) {
    ContentSite site;
    site.WorkFolder = folder;
    site.PageTemplate = pageTemplate;
    site.Niche = "Dog Training";
    return site;
}

TEST(PageCountFor, ThirtyPostsAPage) {
    const std::pair<std::size_t, int> cases[] = {{0, 0}, {1, 1}, {30, 1}, {31, 2}, {60, 2}, {61, 3}, {20000, 667}};
    for (const auto& [count, pages] : cases) EXPECT_EQ(PageCountFor(count), pages) << count;
}

TEST(VideoPages, PostFragment) {
    const std::vector<VideoEntry> videos{{"dQw4w9WgXcQ", "Loose lead walking"}};
    const std::string popup = "<a href=\"javascript:ShowVideoPopup ('dQw4w9WgXcQ');\">";
    const std::string post = "<div class=\"videopost\"><div class=\"videopostthumb\">" + popup +
                             "<img src=\"http://thumbs.test/vi/dQw4w9WgXcQ/0.jpg\" width=\"200\" height=\"140\" "
                             "alt=\"Loose lead walking\" border=\"0\"></a></div><div class=\"videoposttitle\">" +
                             popup + "Loose lead walking</a></div></div>\r\n";
    EXPECT_EQ(VideoPageText(videos, 1, Site("%%videoposts%%"), test::kThumbHost), post + kBlank + kBlank);
    std::string playlistPost = post;
    playlistPost.replace(playlistPost.find("videoposttitle"), 14, "playlistposttitle");
    EXPECT_EQ(PlaylistPageText(videos, 1, Site("%%videoposts%%"), test::kThumbHost), playlistPost + kBlank + kBlank);
    // The delete flow finds a post on a page by its thumbnail address.
    EXPECT_NE(post.find(ThumbnailAddress(test::kThumbHost, "dQw4w9WgXcQ")), std::string::npos);
}

TEST(VideoPages, Grid) {
    struct Case {
        const char* name;
        bool playlist;
        int count;
        int page;
        std::string shape;
    };
    const std::string fullRows = Repeat("PPPR", 9);
    const Case cases[] = {
        {"30 videos: breaks between rows, none after the last", false, 30, 1, fullRows + "PPP"},
        {"31 videos, page 1: the list goes on, so a break after post 30", false, 31, 1, fullRows + "PPPR"},
        {"31 videos, page 2: one post and two blanks", false, 31, 2, "PBB"},
        {"32 videos, page 2: two posts and one blank", false, 32, 2, "PPB"},
        {"one video", false, 1, 1, "PBB"},
        {"4 playlist entries: no breaks", true, 4, 1, "PPPPBB"},
        {"30 playlist entries", true, 30, 1, Repeat("P", 30)},
        {"61 playlist entries, page 3", true, 61, 3, "PBB"},
    };
    for (const Case& c : cases) {
        const auto list = Videos("v", c.count);
        const auto site = Site("%%videoposts%%");
        const std::string body = c.playlist ? PlaylistPageText(list, c.page, site, test::kThumbHost)
                                            : VideoPageText(list, c.page, site, test::kThumbHost);
        EXPECT_EQ(Shape(body), c.shape) << c.name;
    }
    // Each page starts where the one before ended.
    const auto list = Videos("v", 31);
    EXPECT_NE(VideoPageText(list, 2, Site("%%videoposts%%"), test::kThumbHost).find(test::VideoId("v", 31)),
              std::string::npos);
}

TEST(VideoPages, NavigationHeadingAndTitle) {
    const std::string pageTemplate = "%%pagetitle%%|%%toplefttext%%|%%toprighttext%%|%%previousnext%%";
    auto navigation = [](const std::string& previous, const std::string& pageOf, const std::string& next) {
        return "<div class=\"previousnext\">\r\n<div class=\"fl\"><a href=\"" + previous +
               "\" >Previous Page</a></div>\r\nPage " + pageOf + "\r\n<div class=\"fr\"><a href=\"" + next +
               "\" >Next Page &nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</a></div>\r\n<br></div><div "
               "style=\"clear:left;\"></div><!--previousnext-->";
    };
    const std::string videosHeading =
        "</b><div class='bluebutton'><a href='latestvideos.html'>Get Latest Videos</a></div><b><div "
        "class='articleheader'>Current Dog Training Videos</div><BR><BR>";
    const std::string playlistHeading =
        "</b><div class='bluebutton'><a href='wipeplaylist.html'>Erase Playlist</a></div><b><div "
        "class='articleheader'>Your Video Playlist</div><BR><BR>";
    struct Case {
        bool playlist;
        int count;
        int page;
        std::string expected;
    };
    const Case cases[] = {
        {false, 30, 1,
         "Current Dog Training Videos|" + videosHeading + "30 videos - showing page 1 of 1||" +
             navigation("videos1.html", "1 of 1", "videos1.html")},
        {false, 31, 1,
         "Current Dog Training Videos|" + videosHeading + "31 videos - showing page 1 of 2||" +
             navigation("videos2.html", "1 of 2", "videos2.html")},
        {false, 31, 2,
         "Current Dog Training Videos|" + videosHeading + "31 videos - showing page 2 of 2||" +
             navigation("videos1.html", "2 of 2", "videos1.html")},
        {false, 95, 2,
         "Current Dog Training Videos|" + videosHeading + "95 videos - showing page 2 of 4||" +
             navigation("videos1.html", "2 of 4", "videos3.html")},
        {true, 4, 1,
         "Dog Training Video Playlist|" + playlistHeading + "4 videos - showing page 1 of 1||" +
             navigation("playlist1.html", "1 of 1", "playlist1.html")},
        {true, 70, 1,
         "Dog Training Video Playlist|" + playlistHeading + "70 videos - showing page 1 of 3||" +
             navigation("playlist3.html", "1 of 3", "playlist2.html")},
    };
    for (const Case& c : cases) {
        const auto list = Videos("v", c.count);
        const auto site = Site(pageTemplate);
        EXPECT_EQ(c.playlist ? PlaylistPageText(list, c.page, site, test::kThumbHost)
                             : VideoPageText(list, c.page, site, test::kThumbHost),
                  c.expected)
            << (c.playlist ? "playlist " : "videos ") << c.count << " page " << c.page;
    }
}

TEST(VideoPages, TextFromTheFeedCannotBecomeMarkup) {
    struct Case {
        const char* name;
        VideoEntry video;
        std::string id;     // as written into the page
        std::string title;  // as written into the page
    };
    const Case cases[] = {
        {"markup shows as text", {"abcdef12345", "<b>Bold</b> <script>x()</script>"}, "abcdef12345",
         "&lt;b&gt;Bold&lt;/b&gt; &lt;script&gt;x()&lt;/script&gt;"},
        {"a quote cannot leave the alt attribute", {"abcdef12345", "Say \"cheese\" onerror=x()"}, "abcdef12345",
         "Say &quot;cheese&quot; onerror=x()"},
        {"references stay references", {"abcdef12345", "Caf&#233; &amp; tips &quot;A&quot;"}, "abcdef12345",
         "Caf&#233; &amp; tips &quot;A&quot;"},
        {"an id not from a feed loses what could leave the script call",
         {"ab');x('\"<>/.c", "A title"}, "abxc", "A title"},
    };
    for (const Case& c : cases) {
        const std::string body = VideoPageText({c.video}, 1, Site("%%videoposts%%"), test::kThumbHost);
        EXPECT_NE(body.find("ShowVideoPopup ('" + c.id + "');\"><img src=\"http://thumbs.test/vi/" + c.id +
                            "/0.jpg\""),
                  std::string::npos)
            << c.name;
        EXPECT_NE(body.find("alt=\"" + c.title + "\" border"), std::string::npos) << c.name << "\n" << body;
        EXPECT_NE(body.find(c.id + "');\">" + c.title + "</a></div></div>"), std::string::npos) << c.name;
    }
}

TEST(VideoPages, TokensInsideTitlesAndTheNicheStayText) {
    // A feed's title cannot pull the navigation block, the page title or a page number into
    // the post; the niche is not filled again either.
    const std::vector<VideoEntry> videos{{"abcdef12345", "Lesson %%pagenum%% of %%pagetitle%%%%previousnext%%"}};
    ContentSite site = Site("%%videoposts%%|%%pagetitle%%|%%previousnext%%");
    site.Niche = "Dogs %%numpages%%";
    const std::string page = VideoPageText(videos, 1, site, test::kThumbHost);
    EXPECT_NE(page.find(">Lesson %%pagenum%% of %%pagetitle%%%%previousnext%%</a>"), std::string::npos) << page;
    EXPECT_NE(page.find("|Current Dogs %%numpages%% Videos|"), std::string::npos) << page;
    EXPECT_NE(page.find("Page 1 of 1"), std::string::npos) << page;
}

class VideoPageFilesTest : public ::testing::Test, protected test::VideoFixture {
protected:
    test::TempDir folder;
    ContentSite site = Site("<html>%%videoposts%%%%previousnext%%</html>", folder.path());
    VideoRunState run;

    bool Exists(const std::string& name) const { return test::Exists(folder / name); }
};

TEST_F(VideoPageFilesTest, WritesEveryPageAndRecordsTheHighestNumber) {
    store.CurrentVideos = Videos("v", 61);
    ASSERT_TRUE(WriteVideoPages(store, run, site, test::kThumbHost).Ok());
    for (int page = 1; page <= 3; ++page)
        EXPECT_EQ(test::ReadFile(folder / ("videos" + std::to_string(page) + ".html")),
                  VideoPageText(store.CurrentVideos, page, site, test::kThumbHost));
    EXPECT_FALSE(Exists("videos4.html"));
    EXPECT_EQ(run.VideoPageCount, 3);

    // Fewer videos later: the count keeps the highest page, for the clean-up at exit.
    store.CurrentVideos.resize(5);
    ASSERT_TRUE(WriteVideoPages(store, run, site, test::kThumbHost).Ok());
    EXPECT_EQ(run.VideoPageCount, 3);
    EXPECT_EQ(Count(test::ReadFile(folder / "videos1.html"), kPost), 5u);

    store.Playlist = Videos("p", 31);
    ASSERT_TRUE(WritePlaylistPages(store, run, site, test::kThumbHost).Ok());
    EXPECT_TRUE(Exists("playlist2.html"));
    EXPECT_EQ(run.PlaylistPageCount, 2);
    EXPECT_EQ(run.VideoPageCount, 3);
}

TEST_F(VideoPageFilesTest, AnEmptyListWritesNothing) {
    EXPECT_TRUE(WriteVideoPages(store, run, site, test::kThumbHost).Ok());
    EXPECT_TRUE(WritePlaylistPages(store, run, site, test::kThumbHost).Ok());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path().Bytes()));
    EXPECT_EQ(run.VideoPageCount, 0);
    EXPECT_EQ(run.PlaylistPageCount, 0);
}

TEST_F(VideoPageFilesTest, StopsAtThePageThatCannotBeWritten) {
    test::MakeFolders(folder / "videos2.html");  // in the way of page 2
    store.CurrentVideos = Videos("v", 61);
    const Outcome written = WriteVideoPages(store, run, site, test::kThumbHost);
    EXPECT_FALSE(written.Ok());
    EXPECT_TRUE(Exists("videos1.html"));
    EXPECT_FALSE(Exists("videos3.html"));
    EXPECT_EQ(written.Message(), "Failed to write file " + (folder / "videos2.html").Display());
    EXPECT_EQ(run.VideoPageCount, 2);
}

TEST_F(VideoPageFilesTest, FortyNineRelatedVideos) {
    const std::string asked = "asked000001";
    run.RelatedVideos = {{asked, "The one asked about"}};
    for (const VideoEntry& video : Videos("r", 49)) run.RelatedVideos.push_back(video);
    site.PageTemplate = "%%pagetitle%%|%%toplefttext%%|%%toprighttext%%|%%previousnext%%|%%videoposts%%";

    ASSERT_TRUE(WriteRelatedVideosPage(run, site, test::kThumbHost).Ok());
    const std::string page = test::ReadFile(folder / "relatedvideos.html");
    const std::string head =
        "Related Videos|<div class='articleheader'>Related Videos</div><BR><BR>There are 49 videos "
        "&quot;related&quot; to the first video shown|<a href='goback.html'>Go back to previous page</a>|<BR><BR><BR>"
        "<BR><DIV align=center><a href='goback.html'>Go Back To Previous Page</a></DIV><BR>|";
    ASSERT_EQ(page.substr(0, head.size()), head);
    const std::string body = page.substr(head.size());
    EXPECT_EQ(Shape(body), Repeat("P", 50) + "B");
    EXPECT_LT(body.find(asked), body.find(test::VideoId("r", 1)));  // the video asked about comes first

    site.WorkFolder = folder / "gone/";
    EXPECT_EQ(WriteRelatedVideosPage(run, site, test::kThumbHost).Message(),
              "Failed to write file " + (folder / "gone/relatedvideos.html").Display());
}

}  // namespace
}  // namespace qen

namespace qen {
namespace {

// Markup the video pages write themselves: posts, their popup links and thumbnails, the
// navigation block and the headings' buttons. Anything else came from a feed.
std::string FindForeignVideoMarkup(const GumboElement& element) {
    const std::string name = gumbo_normalized_tagname(element.tag);
    if (name != "div" && name != "a" && name != "img" && name != "br" && name != "b")
        return "element <" + name + ">";
    for (unsigned k = 0; k < element.attributes.length; ++k) {
        const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[k]);
        const std::string attributeName = attribute->name;
        const std::string value = attribute->value;
        bool ok = attributeName == "class" || attributeName == "style" || attributeName == "alt" ||
                  attributeName == "width" || attributeName == "height" || attributeName == "border" ||
                  attributeName == "align";
        if (attributeName == "src") ok = value.rfind("http://thumbs.test/vi/", 0) == 0;
        if (attributeName == "href")
            ok = value.rfind("javascript:ShowVideoPopup ('", 0) == 0 || value == "latestvideos.html" ||
                 value == "wipeplaylist.html" || value == "goback.html" || value.rfind("videos", 0) == 0 ||
                 value.rfind("playlist", 0) == 0;
        if (!ok) return "attribute " + attributeName + "=\"" + value + "\" on <" + name + ">";
    }
    return {};
}

// Titles come from a stranger's feed: whatever they hold, each page keeps the markup it was
// written with, one navigation block, one "Erase Playlist" button, and no script.
TEST(VideoPages, HostileTitlesStayInsideTheirPosts) {
    const char* titles[] = {
        "%%previousnext%%",
        "%%toplefttext%%",
        "%%pagetitle%% %%videoposts%% %%toprighttext%%",
        "%%linknext%% %%pagenum%%",
        "\" onerror=\"alert(1)",
        "' autofocus onfocus='alert(1)' x='",
        "<script>alert(1)</script><img src=x onerror=f()>",
        "</div></div><div id='nav'>",
        "&#39; onmouseover=&#39;f()",
    };
    ContentSite site = Site(test::kCheckTemplate);
    for (const char* title : titles) {
        const std::vector<VideoEntry> list{{"abcdef12345", title}, {"bcdefg23456", "Plain title"}};
        const std::string pages[] = {VideoPageText(list, 1, site, test::kThumbHost),
                                     PlaylistPageText(list, 1, site, test::kThumbHost),
                                     RelatedVideosPageText(list, site, test::kThumbHost)};
        for (const std::string& page : pages) {
            EXPECT_EQ(test::FindFillingFault(page, FindForeignVideoMarkup), "") << title << "\n" << page;
            EXPECT_LE(Count(page, "class=\"previousnext\""), 1u) << title;
            EXPECT_LE(Count(page, "Erase Playlist"), 1u) << title;
        }
    }
}

}  // namespace
}  // namespace qen
