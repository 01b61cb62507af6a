#include "package/ContentPackage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "fakes/TestPackages.h"
#include "package/MarkerScan.h"
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

TEST_F(ReadBrandingTest, MalformedListIsRefusedByName) {
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

// The member's bytes, or "unread" when it cannot be read.
std::string MemberNamed(const ContentPackage& package, const std::string& name) {
    std::string bytes;
    for (const PackageMember& member : package.Members())
        if (member.name == name) return package.ReadMember(member, bytes) ? bytes : "unread";
    return "unread";
}

// Members are packed one after another, so most start inside a cipher block; each must read
// back as packed, whether the block is held in memory or read from its file, and after a
// program's code, the marker split between two of the pieces the file is searched in.
TEST(ReadMember, GivesEveryMemberAsItWasPacked) {
    const PackageDescription description = test::SmallSite();
    const std::string built = test::MakeBlock(description);
    const std::string code(kMarkerScanPiece - 40, 'x');
    test::TempDir dir;
    test::WriteFile(dir / "site.qen", built);
    test::WriteFile(dir / "program", code + built);
    const struct {
        const char* what;
        std::function<bool(ContentPackage&)> find;
    } cases[] = {
        {"in memory", [&](ContentPackage& p) { return p.FindBlock(built); }},
        {"from its file", [&](ContentPackage& p) { return p.FindBlock(ReadableFile::Open(dir / "site.qen")); }},
        {"after a program's code", [&](ContentPackage& p) { return p.FindBlock(ReadableFile::Open(dir / "program")); }},
    };
    for (const auto& c : cases) {
        ContentPackage package;
        ASSERT_TRUE(c.find(package)) << c.what;
        ASSERT_TRUE(package.CheckPackageHeader("corrupt")) << c.what;
        ASSERT_TRUE(package.CheckContent("corrupt")) << c.what;
        EXPECT_EQ(package.Title, "Dog Training Academy") << c.what;
        for (const PackageFile& member : description.members)
            EXPECT_TRUE(MemberNamed(package, member.name) == member.data) << c.what << ": " << member.name;
    }
}

// Nothing of a package whose content changed is read: not its members, not its branding.
TEST(ReadMember, AChangedPackageGivesNothing) {
    std::string changed = test::MakeBlock(test::SmallSite());
    changed[block::kData + 20] ^= 1;
    ContentPackage package;
    ASSERT_TRUE(package.FindBlock(changed));
    ASSERT_TRUE(package.CheckPackageHeader("corrupt"));
    const Outcome checked = package.CheckContent("corrupt");
    EXPECT_FALSE(checked);
    EXPECT_EQ(checked.Message(), "corrupt (content changed)");
    EXPECT_TRUE(package.Members().empty());
    std::string bytes;
    EXPECT_FALSE(package.ReadMember({static_cast<std::uint32_t>(block::kData), 8, "SiteNiche.txt"}, bytes));
    EXPECT_FALSE(package.ReadBranding());
}

// An update carries the block as the program file holds it, read again from that file:
// only while the file still holds the very block that passed.
TEST(BlockAsStored, GivesTheBlockOnlyWhileTheFileStillHoldsIt) {
    const std::string built = test::MakeBlock(test::SmallSite());
    const std::string program = "\x7f" "ELF program code";
    test::TempDir dir;
    const Path path = dir / "program";
    const struct {
        const char* what;
        std::string tail;  // bytes after the block, kept as the file has them
        std::function<void()> change;  // what happens to the file once it was opened
        bool carried;
        bool membersRead;
    } cases[] = {
        {"unchanged", "", [] {}, true, true},
        {"bytes after the block", "tail", [] {}, true, true},
        {"a member changed in place", "",
         [&] {
             std::string image = program + built;
             image[program.size() + block::kData + 20] ^= 1;
             test::WriteFile(path, image);
         },
         false, true},
        {"cut short", "", [&] { std::filesystem::resize_file(path.Bytes(), program.size() + block::kData + 8); }, false,
         false},
        {"renamed over", "",
         [&] {
             test::WriteFile(dir / "other", "another program");
             std::filesystem::rename((dir / "other").Bytes(), path.Bytes());
         },
         true, true},
    };
    for (const auto& c : cases) {
        test::WriteFile(path, program + built + c.tail);
        ContentPackage package;
        package.Embedded = true;
        ASSERT_TRUE(package.FindBlock(ReadableFile::Open(path))) << c.what;
        ASSERT_TRUE(package.CheckPackageHeader("corrupt")) << c.what;
        ASSERT_TRUE(package.CheckContent("corrupt")) << c.what;
        c.change();
        const std::optional<std::string> carried = package.BlockAsStored();
        EXPECT_EQ(carried.has_value(), c.carried) << c.what;
        if (carried) {
            EXPECT_TRUE(*carried == built + c.tail) << c.what;
        }
        EXPECT_EQ(MemberNamed(package, "help.html") != "unread", c.membersRead) << c.what;
    }

    ContentPackage inMemory;
    ASSERT_TRUE(inMemory.FindBlock(program + built));
    EXPECT_FALSE(inMemory.BlockAsStored()) << "unchecked";
    ASSERT_TRUE(inMemory.CheckPackageHeader("corrupt"));
    EXPECT_TRUE(inMemory.BlockAsStored() == built);
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
    EXPECT_EQ(MemberNamed(site, "SiteNiche.txt").substr(0, 13), "dog_training ");
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace qen
