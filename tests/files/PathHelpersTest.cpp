#include "files/PathHelpers.h"

#include <gtest/gtest.h>

namespace qen {
namespace {

TEST(PathHelpers, SplitPaths) {
    struct Case {
        const char* path;
        const char* directory;
        const char* fileName;
        const char* extension;
        const char* withoutExtension;
    };
    const Case cases[] = {
        {"/tmp/work/page.html", "/tmp/work/", "page.html", ".html", "/tmp/work/page"},
        {"dir/sub/file.txt", "dir/sub/", "file.txt", ".txt", "dir/sub/file"},
        {"C:\\Work\\Page.HTML", "C:\\Work\\", "Page.HTML", ".html", "C:\\Work\\Page"},
        {"mixed\\dir/file.Qen", "mixed\\dir/", "file.Qen", ".qen", "mixed\\dir/file"},
        {"bare.tar.gz", "", "bare.tar.gz", ".gz", "bare.tar"},
        {"noextension", "", "noextension", "", ""},
        {"/folder.d/noextension", "/folder.d/", "noextension", "", ""},
        {"/tmp/work/", "/tmp/work/", "", "", ""},
        {"trailingdot.", "", "trailingdot.", ".", "trailingdot"},
        {".hidden", "", ".hidden", ".hidden", ""},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DirectoryOf(c.path), c.directory) << c.path;
        EXPECT_EQ(FileNameOf(c.path), c.fileName) << c.path;
        EXPECT_EQ(ExtensionOf(c.path), c.extension) << c.path;
        EXPECT_EQ(WithoutExtension(c.path), c.withoutExtension) << c.path;
    }
}

TEST(PathHelpers, ExtensionLowersOnlyAsciiLetters) {
    EXPECT_EQ(ExtensionOf("file.\xC9TE"), ".\xC9te");
}

TEST(PathHelpers, WithoutQuery) {
    EXPECT_EQ(WithoutQuery("page.html?sw=3"), "page.html");
    EXPECT_EQ(WithoutQuery("a?b?c"), "a?b");
    EXPECT_EQ(WithoutQuery("page.html"), "page.html");
    EXPECT_EQ(WithoutQuery("?only"), "");
}

TEST(PathHelpers, QueryValue) {
    struct Case {
        const char* url;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"page.html?x=1&sw=3", "sw", "3"},
        {"page.html?sw=3&b=2", "sw", "3"},
        {"page.html?b=2", "sw", ""},
        {"page.html", "sw", ""},
        {"sw=7", "sw", "7"},
        {"page.html?sw=", "sw", ""},
        {"a?sw=1?b=2&sw=3", "sw", "3"},          // only the part after the last "?"
        {"page.html?xsw=5", "sw", "5"},           // a longer key ending the same matches
        {"page.html?sw=1&x=2&sw=3", "sw", "13"},  // repeated keys run together
        {"page.html?sw=1&", "sw", "1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QueryValue(c.url, c.key), c.value) << c.url;
    }
}

}  // namespace
}  // namespace qen
