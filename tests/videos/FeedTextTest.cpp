#include "videos/FeedText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qen {
namespace {

TEST(NextKeyword, TakesEachNonBlankLineAsATerm) {
    struct Case {
        const char* name;
        std::string list;
        std::vector<std::string> terms;
    };
    const Case cases[] = {
        {"a niche", "Dog Training", {"dog-training"}},
        {"blanks around", "  \tGarden Ponds \r\n", {"garden-ponds"}},
        {"two lines", "A\r\nB", {"a", "b"}},
        {"line feeds only", "Koi Fish\nPond Pumps\n", {"koi-fish", "pond-pumps"}},
        {"blank lines skipped", "\r\n \r\n\t\r\nFirst\r\n\r\n   \r\nSecond Term\r\n", {"first", "second-term"}},
        {"inner blanks each become a dash", "Big  Dogs", {"big--dogs"}},
        {"cp1252 capitals are lowered too", "\xC9" "COLE CANINE \xC0 Z\xDC" "RICH", {"\xE9" "cole-canine-\xE0-z\xFC" "rich"}},
        {"nothing", "", {}},
        {"only blanks", " \t\r\n \n", {}},
    };
    for (const Case& c : cases) {
        std::string list = c.list;
        std::vector<std::string> terms;
        for (std::string term = NextKeyword(list); !term.empty(); term = NextKeyword(list)) {
            terms.push_back(term);
            ASSERT_LT(terms.size(), 10u) << c.name;
        }
        EXPECT_EQ(terms, c.terms) << c.name;
        EXPECT_EQ(NextKeyword(list), "") << c.name << ": an empty list stays empty";
    }
}

TEST(ExtractTagContent, FindsTheNextCompleteElementOfThatName) {
    struct Case {
        const char* name;
        std::string text;
        const char* tag;
        std::size_t from;
        std::string content;  // "" when nothing is found
        std::size_t positionAfter;
    };
    const std::string attributes = "<titlex>no</titlex><title type='text'>Yes</title>";
    const Case cases[] = {
        {"plain element", "<a><title>Hello</title></a>", "title", 0, "Hello", 23},
        {"longer names passed over, attributes skipped", attributes, "title", 0, "Yes", attributes.size()},
        {"start tag ended by a line break", "<title\r\nlang='en'>T</title>", "title", 0, "T", 27},
        {"a byte above 127 ends the name", "<title\xA0x>T</title>", "title", 0, "T", 18},
        {"search starts at the position", "<b>1</b><b>2</b>", "b", 1, "2", 16},
        {"empty content", "<b></b>", "b", 0, "", 7},
        {"nested: the first end tag closes", "<b><b>x</b></b>", "b", 0, "<b>x", 11},
        {"missing end tag", "<title>Hello</title", "title", 0, "", 0},
        {"end tag of another case", "<title>Hello</TITLE>", "title", 0, "", 0},
        {"start tag never closed", "<title lang='en'", "title", 0, "", 0},
        {"name at the very end", "text <title", "title", 0, "", 0},
        {"self-closing spelling is another name", "<title/><title>x</title>", "title", 0, "x", 24},
        {"no element", "<feed></feed>", "entry", 0, "", 0},
        {"position beyond the text", "<b>1</b>", "b", 50, "", 50},
    };
    for (const Case& c : cases) {
        std::size_t position = c.from;
        EXPECT_EQ(ExtractTagContent(c.text, c.tag, position), c.content) << c.name;
        EXPECT_EQ(position, c.positionAfter) << c.name;
    }
}

TEST(ExtractTagContent, WalksThroughEntriesInOrder) {
    const std::string feed = "<feed><entry>one</entry>\n<entryx>skip</entryx><entry id='2'>two</entry><entry>three";
    std::size_t position = 0;
    EXPECT_EQ(ExtractTagContent(feed, "entry", position), "one");
    EXPECT_EQ(ExtractTagContent(feed, "entry", position), "two");
    const std::size_t afterTwo = position;
    EXPECT_EQ(ExtractTagContent(feed, "entry", position), "");  // the last one is cut off
    EXPECT_EQ(position, afterTwo);
}

TEST(FeedMarkers, DocumentAndCallQuota) {
    struct Case {
        const char* name;
        const char* text;
        bool document;
        bool quota;
    };
    const Case cases[] = {
        {"feed", "<?xml version='1.0'?><feed/>", true, false},
        {"not a feed", "<html>Service unavailable</html>", false, false},
        {"nothing", "", false, false},
        {"quota", "<?xml?><errors><error><domain>yt:quota</domain><code>too_many_recent_calls</code></error>", true,
         true},
        {"another error", "<?xml?><errors><error><domain>yt:service</domain><code>too_many_recent_calls</code>", true,
         false},
        {"markers in any order", "<code>too_many_recent_calls</code><error><domain>yt:quota</domain>", false, true},
        {"upper case is not a marker", "<?XML?><ERROR><domain>yt:quota</domain><code>too_many_recent_calls</code>",
         false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HoldsFeedDocument(c.text), c.document) << c.name;
        EXPECT_EQ(ReportsCallQuota(c.text), c.quota) << c.name;
    }
}

TEST(IsVideoIdText, LettersDigitsDashAndUnderscoreOnly) {
    for (const char* id : {"dQw4w9WgXcQ", "a-b_c-D_9", "0123456789", ""}) EXPECT_TRUE(IsVideoIdText(id)) << id;
    for (const char* id : {"abc'); x('", "abc def", "abc\"def", "abc<b>", "abc&amp;", "abc/def", "abc%27",
                           "abc\xE9", "abc.def"})
        EXPECT_FALSE(IsVideoIdText(id)) << id;
}

}  // namespace
}  // namespace qen
