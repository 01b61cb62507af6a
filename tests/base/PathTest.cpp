#include "base/Path.h"

#include <gtest/gtest.h>

#include <string>

namespace qen {
namespace {

const std::string kJurgen = "/home/J\xC3\xBCrgen";  // UTF-8, as the system names it

TEST(Path, PartsAreTakenFromTheBytes) {
    struct Case {
        const char* why;
        Path path;
        std::string folder, name, extension;
    };
    const Case cases[] = {
        {"plain", Path("/a/b/site.QEN"), "/a/b/", "site.QEN", ".qen"},
        {"letters outside ASCII stay bytes", Path(kJurgen + "/\xC3\x9C" "bung.qen"), kJurgen + "/",
         "\xC3\x9C" "bung.qen", ".qen"},
        {"a dot in a folder is no extension", Path("/a.b/program"), "/a.b/", "program", ""},
        {"a backslash is a letter of a name", Path("/a\\b/c.lum"), "/a\\b/", "c.lum", ".lum"},
        {"a bare name has no folder", Path("site.qen"), "", "site.qen", ".qen"},
        {"a folder ends in its slash", Path("/tmp/lumfiles__1/"), "/tmp/lumfiles__1/", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.path.Folder(), Path(c.folder)) << c.why;
        EXPECT_EQ(c.path.Name(), c.name) << c.why;
        EXPECT_EQ(c.path.Extension(), c.extension) << c.why;
    }
}

TEST(Path, JoiningAndChangingTheExtension) {
    EXPECT_EQ(Path("/tmp/work/") / "help.html", Path("/tmp/work/help.html"));
    EXPECT_EQ(Path("/tmp/work") / "help.html", Path("/tmp/work/help.html"));
    EXPECT_EQ(Path() / "help.html", Path("help.html"));
    EXPECT_EQ(Path("/p/Demo Site.qen").WithExtension(".lum"), Path("/p/Demo Site.lum"));
    EXPECT_EQ(Path("/p.d/QenRuntime").WithExtension(".qen"), Path("/p.d/QenRuntime.qen"));
    EXPECT_EQ(Path("/tmp/work///").WithoutTrailingSlash(), Path("/tmp/work"));
}

TEST(Path, ShownInAMessageAsTheLettersItHolds) {
    EXPECT_EQ(Path(kJurgen + "/a.qen").Display(), "/home/J\xFCrgen/a.qen");
    EXPECT_EQ(Path("/x/\xE4\xB8\xAD.qen").DisplayName(), "&#20013;.qen");
    // A name that is no UTF-8 at all is still shown, never dropped.
    EXPECT_FALSE(Path("/x/\xFF\xFE.qen").Display().empty());
}

TEST(ViewUrl, LocalPathsTravelAsFileUrlsAndComeBackByteForByte) {
    struct Case {
        const char* why;
        std::string address, url;
    };
    const Case cases[] = {
        {"plain", "/tmp/w/help.html", "file:///tmp/w/help.html"},
        {"letters outside ASCII", kJurgen + "/help.html", "file:///home/J%C3%BCrgen/help.html"},
        {"characters with a meaning in a URL", "/a b/#1?%.html", "file:///a%20b/%231%3F%25.html"},
        {"web addresses pass unchanged", "http://example.com/a?b#c", "http://example.com/a?b#c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ViewUrlOf(c.address), c.url) << c.why;
        EXPECT_EQ(AddressOfViewUrl(c.url), c.address) << c.why;
    }
    EXPECT_EQ(AddressOfViewUrl("file://localhost/tmp/a.html"), "/tmp/a.html");
    EXPECT_EQ(AddressOfViewUrl("file:///tmp/a.html#top"), "/tmp/a.html");
    EXPECT_EQ(AddressOfViewUrl("file:///tmp/100%.html"), "/tmp/100%.html");
}

// A link's encoded bytes must not reshape the path: a "/" or NUL cannot be part of a file
// name, so encoded they stay as written rather than starting a new path element (which
// would turn "ezine_%2Fplaylist_X.html" into the pseudo-link "playlist_X.html").
TEST(ViewUrl, EncodedBytesThatNoFileNameHoldsStayEncoded) {
    struct Case {
        const char* why;
        std::string url, address;
    };
    const Case cases[] = {
        {"an encoded slash", "file:///w/ezine_%2Fplaylist_X.html", "/w/ezine_%2Fplaylist_X.html"},
        {"in small letters", "file:///w/ezine_%2fdelete_X.html", "/w/ezine_%2fdelete_X.html"},
        {"an encoded NUL", "file:///w/videos1.html%00.png", "/w/videos1.html%00.png"},
        {"a backslash is a letter of a name here", "file:///w/a%5Cb.html", "/w/a\\b.html"},
        {"a file on another computer stays an address", "file://evil.test/w/playlist_X.html",
         "file://evil.test/w/playlist_X.html"},
        {"this computer by name", "file://localhost/w/a.html", "/w/a.html"},
    };
    for (const Case& c : cases) EXPECT_EQ(AddressOfViewUrl(c.url), c.address) << c.why;
}

}  // namespace
}  // namespace qen
