#include <gtest/gtest.h>

#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "package/Branding.h"
#include "package/ContentSite.h"
#include "package/TestPackages.h"

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
    test::FakeUi ui;
    Pairs pairs;
    EXPECT_FALSE(ParseBrandingList(ui, "Side Banners", "a\nb\nc\nd", pairs));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Branding error - Side Banners data is not formatted correctly");
    EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
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

class ReadBrandingTest : public ::testing::Test {
protected:
    bool Open(const PackageDescription& description) { return OpenImage(test::MakeBlock(description)); }
    // A package image changed by the test and signed again.
    bool OpenImage(const std::string& image) {
        test::WriteFile(dir / "prog.qen", image);
        test::WriteFile(dir / "prog", "program");
        std::string userData;
        return site.OpenPackage(dir / "prog", userData, "");
    }

    test::TempDir dir;
    test::FakeUi ui;
    test::FakeSettings settings;
    ContentSite site{ui, settings};
};

TEST_F(ReadBrandingTest, FieldsBecomeReadyToInsertFragments) {
    ASSERT_TRUE(Open(test::SmallSite()));
    const std::string encipheredData = site.Package.Image.substr(block::kData);
    ASSERT_TRUE(site.ReadBranding());
    EXPECT_EQ(site.MemberCount, 6u);
    EXPECT_EQ(site.MaxSideBanners, 3);
    EXPECT_EQ(site.TopBannerUrls, "'http://banners.example/top.png'");
    EXPECT_EQ(site.TopBannerLinks, "'http://shop.example/top'");
    EXPECT_EQ(site.SideBannerUrls, "'http://banners.example/s1.png', 'HTTPS://banners.example/s2.png'");
    EXPECT_EQ(site.SideBannerLinks, "'http://shop.example/s1', 'http://shop.example/its'");
    EXPECT_EQ(site.MenuTextLinks, "<a href='http://classes.example/'><b>Puppy</b> classes</a><BR>\r\n");
    EXPECT_EQ(site.FooterName, "Rex & Co");
    EXPECT_EQ(site.FooterLink, "http://rex.example/");
    EXPECT_NE(site.Package.Image.substr(block::kData), encipheredData);
    EXPECT_EQ(site.Package.Image.substr(block::kData, 13), "dog_training ");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReadBrandingTest, NoBannersLeaveTheArraysEmpty) {
    auto description = test::SmallSite();
    description.branding = {};
    ASSERT_TRUE(Open(description));
    ASSERT_TRUE(site.ReadBranding());
    EXPECT_EQ(site.TopBannerUrls + site.TopBannerLinks + site.SideBannerUrls + site.SideBannerLinks +
                  site.MenuTextLinks,
              "");
}

TEST_F(ReadBrandingTest, MalformedListFailsBeforeDeciphering) {
    auto description = test::SmallSite();
    std::string image = test::MakeBlock(description);
    std::string list = "a\nb\nc\nd";
    list.resize(block::kSideBannersSize, '\0');
    image.replace(block::kSideBanners, list.size(), list);
    test::Resign(image);
    ASSERT_TRUE(OpenImage(image));
    EXPECT_FALSE(site.ReadBranding());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Branding error - Side Banners data is not formatted correctly"});
    EXPECT_EQ(site.Package.Image, image);
}

TEST_F(ReadBrandingTest, MemberCountZeroIsRefused) {
    std::string image = test::MakeBlock(test::SmallSite());
    WriteWord(image, block::kMemberCount, 0);
    test::Resign(image);
    ASSERT_TRUE(OpenImage(image));
    EXPECT_FALSE(site.ReadBranding());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"There are no HTML/image files in the package"});
}

TEST(ParseBrandingFile, SectionsOfBarSeparatedEntries) {
    std::string error;
    auto lists = ParseBrandingFile(
        "# Rex branding\n"
        "[Top Banners]\n"
        "  https://b.example/top.png | https://shop.example/  \r\n"
        "\n"
        "[side banners]\n"
        "https://b.example/1.png|https://shop.example/1\n"
        "[Menu Text Links]\n"
        "Tips | tricks | https://tips.example/\n",
        error);
    ASSERT_TRUE(lists) << error;
    EXPECT_EQ(lists->topBanners, (Pairs{{"https://b.example/top.png", "https://shop.example/"}}));
    EXPECT_EQ(lists->sideBanners, (Pairs{{"https://b.example/1.png", "https://shop.example/1"}}));
    EXPECT_EQ(lists->menuTextLinks, (Pairs{{"Tips | tricks", "https://tips.example/"}}));

    const std::pair<const char*, const char*> faults[] = {
        {"x | y\n", "line 1: an entry before the first section"},
        {"[Banners]\n", "line 1: unknown section [Banners] (known: [Top Banners], [Side Banners], [Menu Text Links])"},
        {"[Top Banners]\n\nno bar\n", "line 3: expected \"first | second\""},
        {"[Top Banners]\n | y\n", "line 2: both sides of \"|\" must be filled in"},
    };
    for (const auto& [text, want] : faults) {
        EXPECT_FALSE(ParseBrandingFile(text, error)) << text;
        EXPECT_EQ(error, want);
    }
}

}  // namespace
}  // namespace qen
