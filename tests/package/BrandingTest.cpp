#include <gtest/gtest.h>

#include "package/Branding.h"
#include "qenpack/PackageBlockWriter.h"

namespace qen {
namespace {

using Pairs = std::vector<BrandingPair>;

TEST(ParseBrandingPairs, AcceptedForms) {
    struct Case {
        const char* what;
        std::string text;
        Pairs want;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"blank", " \r\n\t\n", {}},
        {"crlf", "a\r\nb\r\n\r\nc\r\nd", {{"a", "b"}, {"c", "d"}}},
        {"lone lf", "a\nb\n\nc\nd\n", {{"a", "b"}, {"c", "d"}}},
        {"lone cr", "a\rb\r\rc\rd\r\r", {{"a", "b"}, {"c", "d"}}},
        {"surrounding whitespace", "\n\n  a\nb\n\n\n\nc\nd  \n\n", {{"a", "b"}, {"c", "d"}}},
        // The last record's second line is taken whole: no character is cut from it.
        {"last line to the end", "x\nhttp://y", {{"x", "http://y"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto parsed = ParseBrandingPairs(c.text);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(*parsed, c.want);
    }
}

TEST(ParseBrandingPairs, MalformedListsFailWithTheListName) {
    for (const char* text : {"a\nb\nc\nd", "only one line", "a\n\nb", "a\nb\n\nc"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseBrandingPairs(text));
    }
    EXPECT_EQ(BrandingErrorMessage("Side Banners"), "Branding error - Side Banners data is not formatted correctly");
}

TEST(ParseBrandingPairs, ThirtyRecordsAreTaken) {
    Pairs many;
    for (int i = 0; i < 31; ++i) many.emplace_back("u" + std::to_string(i), "l" + std::to_string(i));
    auto parsed = ParseBrandingPairs(FormatBrandingList(many));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, Pairs(many.begin(), many.begin() + 30));
}

// The tool writes what the runtime reads, and what a distributor wrote by hand survives a
// round through the runtime's parser and the tool's writer.
TEST(BrandingLists, ToolAndRuntimeAgreeOnTheRecordFormat) {
    const Pairs lists[] = {
        {},
        {{"one", "1"}},
        {{"<b>Bold</b> text", "http://x.example/?a=1&b='2'"}, {"w", "z"}, {"x|y", "q"}},
    };
    for (const Pairs& pairs : lists) {
        auto parsed = ParseBrandingPairs(FormatBrandingList(pairs));
        ASSERT_TRUE(parsed);
        EXPECT_EQ(*parsed, pairs);
    }
    for (const char* handWritten : {"a\r\nb\r\n\r\nc\r\nd\r\n\r\n", "a\nb\n\nc\nd", "a\rb\r\rc\rd\r"}) {
        auto first = ParseBrandingPairs(handWritten);
        ASSERT_TRUE(first);
        auto again = ParseBrandingPairs(FormatBrandingList(*first));
        ASSERT_TRUE(again);
        EXPECT_EQ(*again, *first);
        EXPECT_EQ(first->back().second, "d");
    }
}

TEST(CleanUrl, SchemeAndQuotes) {
    const std::pair<std::string, std::string> cases[] = {
        {"banners.example/a.png", "http://banners.example/a.png"},
        {"HTTP://x.example/", "HTTP://x.example/"},
        {"HTTPS://x.example/", "HTTPS://x.example/"},
        {"https://x.example/it's", "https://x.example/its"},
        {"ftp://x", "http://ftp://x"},
        {"a\"b", "http://ab"},
        {"", ""},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(CleanUrl(in), want) << in;
}

}  // namespace
}  // namespace qen
