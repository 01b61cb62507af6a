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
