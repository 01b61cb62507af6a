#include "package/ContentPackage.h"

#include <gtest/gtest.h>

#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "fakes/TestPackages.h"
#include "app/OpenPackage.h"

namespace qen {
namespace {

class ReadBrandingTest : public ::testing::Test {
protected:
    bool Open(const PackageDescription& description) { return OpenImage(test::MakeBlock(description)); }
    // A package image changed by the test and signed again.
    bool OpenImage(const std::string& image) {
        test::WriteFile(dir / "prog.qen", image);
        test::WriteFile(dir / "prog", "program");
        Path userData;
        return OpenPackage(ui, settings, dir / "prog", Path(), site, userData);
    }

    test::TempDir dir;
    test::FakeUi ui;
    test::FakeSettings settings;
    ContentPackage site;
};

TEST_F(ReadBrandingTest, FieldsBecomeReadyToInsertFragments) {
    ASSERT_TRUE(Open(test::SmallSite()));
    const std::string encipheredData = site.Image.substr(block::kData);
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
    EXPECT_NE(site.Image.substr(block::kData), encipheredData);
    EXPECT_EQ(site.Image.substr(block::kData, 13), "dog_training ");
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
    const Outcome read = site.ReadBranding();
    EXPECT_FALSE(read);
    EXPECT_EQ(read.Message(), "Branding error - Side Banners data is not formatted correctly");
    EXPECT_EQ(site.Image, image);
}

TEST_F(ReadBrandingTest, MemberCountZeroIsRefused) {
    std::string image = test::MakeBlock(test::SmallSite());
    WriteWord(image, block::kMemberCount, 0);
    test::Resign(image);
    // Opening refuses it for the files it lacks; reading it unopened refuses it too.
    EXPECT_FALSE(OpenImage(image));
    ASSERT_TRUE(site.FindBlock(image));
    ASSERT_TRUE(site.CheckPackageHeader("corrupt"));
    const Outcome read = site.ReadBranding();
    EXPECT_FALSE(read);
    EXPECT_EQ(read.Message(), "There are no HTML/image files in the package");
}

// The header digest covers the recorded content hash, so changed files are caught even
// though the digest covers none of their bytes.
// Start-up checks and deciphers in one pass; it must give what checking, then deciphering
// gives, and nothing of a changed package may be read afterwards.
TEST(VerifyAndDecipher, GivesTheDecipheredDataOfASoundPackageAndNothingOfAChangedOne) {
    const std::string built = test::MakeBlock(test::SmallSite());
    ContentPackage twoPasses;
    ASSERT_TRUE(twoPasses.FindBlock(built));
    ASSERT_TRUE(twoPasses.CheckPackageHeader("corrupt"));
    ASSERT_TRUE(twoPasses.CheckContent("corrupt"));
    ASSERT_TRUE(twoPasses.ReadBranding());

    std::string unhashed = built;
    unhashed.replace(block::kContentHash, block::kContentHashSize, block::kContentHashSize, '\0');
    test::Resign(unhashed);
    std::string changed = built;
    changed[block::kData + 20] ^= 1;
    struct Case {
        const char* what;
        const std::string& image;
        bool passes;
    };
    for (const Case& c : {Case{"as built", built, true}, Case{"without a hash", unhashed, true},
                          Case{"a changed member", changed, false}}) {
        ContentPackage onePass;
        ASSERT_TRUE(onePass.FindBlock(c.image)) << c.what;
        ASSERT_TRUE(onePass.CheckPackageHeader("corrupt")) << c.what;
        const Outcome verified = onePass.VerifyAndDecipher("corrupt");
        EXPECT_EQ(verified.Ok(), c.passes) << c.what;
        if (c.passes) {
            EXPECT_EQ(onePass.Image.substr(block::kData), twoPasses.Image.substr(block::kData)) << c.what;
            ASSERT_TRUE(onePass.ReadBranding()) << c.what;  // deciphered once only
            EXPECT_EQ(onePass.Image.substr(block::kData), twoPasses.Image.substr(block::kData)) << c.what;
        } else {
            EXPECT_EQ(verified.Message(), "corrupt (content changed)");
            EXPECT_TRUE(onePass.Members().empty());
            EXPECT_FALSE(onePass.ReadBranding());
        }
    }
}

TEST_F(ReadBrandingTest, ChangedContentIsRefusedAndAPackageWithoutAHashOpensAsBefore) {
    const std::string built = test::MakeBlock(test::SmallSite());
    std::string changed = built;
    changed[block::kData + 20] ^= 1;
    EXPECT_FALSE(OpenImage(changed));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"The .qen file is corrupt (content changed)"});

    test::FakeUi programUi;
    ContentPackage branded;
    test::WriteFile(dir / "branded", "program bytes" + changed);
    Path userData;
    EXPECT_FALSE(OpenPackage(programUi, settings, dir / "branded", Path(), branded, userData));
    EXPECT_EQ(programUi.Texts(), std::vector<std::string>{"The .exe file is corrupt (content changed)"});

    // Made before packages carried a hash: all zeros there, signed as such.
    std::string unhashed = built;
    unhashed.replace(block::kContentHash, block::kContentHashSize, block::kContentHashSize, '\0');
    test::Resign(unhashed);
    ui.messages.clear();
    ASSERT_TRUE(OpenImage(unhashed));
    ASSERT_TRUE(site.ReadBranding());
    EXPECT_EQ(site.Image.substr(block::kData, 13), "dog_training ");
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace qen
