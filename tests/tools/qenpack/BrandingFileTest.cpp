#include "qenpack/BrandingFile.h"

#include <gtest/gtest.h>

namespace qen {
namespace {

using Pairs = std::vector<BrandingPair>;

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
