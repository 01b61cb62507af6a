#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "package/ContentSite.h"
#include "package/MarkerScan.h"
#include "app/OpenPackage.h"
#include "package/PackageSecrets.h"
#include "fakes/TestPackages.h"

namespace qen {
namespace {

using test::ReadFile;
using test::WriteFile;

class OpenPackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        exe = dir / "QenRuntime";
        WriteFile(exe, "\x7f" "ELF program bytes without any block");
    }

    bool Open(const Path& commandLineFile = Path()) {
        return OpenPackage(ui, settings, exe, commandLineFile, site, userDataPath);
    }

    test::TempDir dir;
    test::TempDir other;
    Path exe;
    Path userDataPath;
    test::FakeUi ui;
    test::FakeSettings settings;
    ContentPackage site;
};

TEST_F(OpenPackageTest, PackageBesideTheProgramTakesTheDefaultSettingsName) {
    WriteFile(dir / "QenRuntime.qen", test::MakeBlock(test::SmallSite()));
    ASSERT_TRUE(Open());
    EXPECT_FALSE(site.Embedded);
    EXPECT_EQ(site.Title, "Dog Training Academy");
    EXPECT_EQ(site.SettingsName, "QenRuntime");
    EXPECT_EQ(userDataPath, dir / "QenRuntime.lum");
    EXPECT_EQ(site.BlockStart, 0u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OpenPackageTest, CommandLineQenOrLumNamesThePackage) {
    WriteFile(dir / "QenRuntime.qen", test::MakeBlock(test::SmallSite()));
    auto named = test::SmallSite();
    named.title = "Named";
    WriteFile(other / "my site.qen", test::MakeBlock(named));
    WriteFile(other / "my site.lum", "user data");

    ASSERT_TRUE(Open(other / "my site.qen"));
    EXPECT_EQ(site.Title, "Named");
    EXPECT_EQ(userDataPath, other / "my site.lum");

    ContentPackage second;
    ASSERT_TRUE(OpenPackage(ui, settings, exe, other / "my site.lum", second, userDataPath));
    EXPECT_EQ(second.Title, "Named");

    // Any other file on the command line is ignored.
    ContentPackage third;
    WriteFile(other / "readme.doc", "x");
    ASSERT_TRUE(OpenPackage(ui, settings, exe, other / "readme.doc", third, userDataPath));
    EXPECT_EQ(third.Title, "Dog Training Academy");
}

TEST_F(OpenPackageTest, SinglePackageBesideIsFoundByItsExtension) {
    WriteFile(dir / "Other.QEN", test::MakeBlock(test::SmallSite()));
    test::MakeFolders(dir / "folder.qen");
    EXPECT_EQ(FindPackageBeside(exe).path, dir / "Other.QEN");
    ASSERT_TRUE(Open());
    EXPECT_EQ(userDataPath, dir / "Other.lum");
}

TEST_F(OpenPackageTest, TwoPackagesBesideOpenTheDialogOnTheProgramFolder) {
    WriteFile(dir / "a.qen", test::MakeBlock(test::SmallSite()));
    WriteFile(dir / "b.qen", test::MakeBlock(test::SmallSite()));
    settings.paths[{"QenRuntime", "InitDir"}] = other.path();
    EXPECT_EQ(FindPackageBeside(exe).found, PackageBeside::Found::Several);

    ui.chosenFiles.push_back(std::nullopt);
    EXPECT_FALSE(Open());
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, "Select a .qen file");
    EXPECT_EQ(ui.fileRequests[0].filter, "Content packages (*.qen)|*.qen|User data (*.lum)|*.lum|All files|*||");
    EXPECT_EQ(ui.fileRequests[0].initialFolder, dir.path());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OpenPackageTest, ChosenPackageElsewhereIsRememberedInInitDir) {
    settings.paths[{"QenRuntime", "InitDir"}] = Path("/last/folder/");
    WriteFile(other / "x.qen", test::MakeBlock(test::SmallSite()));
    ui.chosenFiles.push_back(other / "x.qen");
    ASSERT_TRUE(Open());
    EXPECT_EQ(ui.fileRequests[0].initialFolder, Path("/last/folder/"));
    EXPECT_EQ((settings.paths[{"QenRuntime", "InitDir"}]), other.path());
    EXPECT_EQ(userDataPath, other / "x.lum");
}

TEST_F(OpenPackageTest, ChosenUserDataOpensThePackageBesideIt) {
    WriteFile(other / "x.qen", test::MakeBlock(test::SmallSite()));
    WriteFile(other / "x.lum", "user data");
    ui.chosenFiles.push_back(other / "x.lum");
    ASSERT_TRUE(Open());
    EXPECT_EQ(userDataPath, other / "x.lum");
    EXPECT_TRUE(ui.messages.empty());

    // User data with no package beside it says which package is missing.
    WriteFile(dir / "lonely.lum", "user data");
    ui.chosenFiles.push_back(dir / "lonely.lum");
    ContentPackage second;
    EXPECT_FALSE(OpenPackage(ui, settings, exe, Path(), second, userDataPath));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("lonely.qen"), std::string::npos) << ui.messages[0].text;
}

TEST_F(OpenPackageTest, ChosenPackageInTheProgramFolderLeavesInitDir) {
    // A package in the program folder is found without the dialog, so the dialog's choice
    // of a file there comes from a folder that held two packages.
    WriteFile(dir / "a.qen", test::MakeBlock(test::SmallSite()));
    WriteFile(dir / "b.qen", test::MakeBlock(test::SmallSite()));
    ui.chosenFiles.push_back(dir / "b.qen");
    ASSERT_TRUE(Open());
    EXPECT_EQ(settings.writes, 0);
}

TEST_F(OpenPackageTest, FileWithoutBlockIsNotCompatible) {
    WriteFile(other / "plain.qen", std::string(20000, 'x'));
    WriteFile(other / "empty.qen", "");
    EXPECT_FALSE(Open(other / "plain.qen"));
    ContentPackage second;
    EXPECT_FALSE(OpenPackage(ui, settings, exe, other / "empty.qen", second, userDataPath));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"plain.qen is not compatible with the Qen Runtime",
                                                    "empty.qen is not compatible with the Qen Runtime"}));
    EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
}

TEST_F(OpenPackageTest, BrandedProgramOpensItsOwnBlockAndIgnoresTheCommandLine) {
    auto branded = test::SmallSite();
    branded.title = "Branded";
    WriteFile(exe, ReadFile(exe) + test::MakeBlock(branded));
    WriteFile(other / "x.qen", test::MakeBlock(test::SmallSite()));
    ASSERT_TRUE(Open(other / "x.qen"));
    EXPECT_TRUE(site.Embedded);
    EXPECT_EQ(site.Title, "Branded");
    EXPECT_EQ(site.SettingsName, "DogTraining");
    EXPECT_EQ(userDataPath, Path(exe.Bytes() + ".lum"));
    EXPECT_GT(site.BlockStart, 0u);
    EXPECT_EQ(site.BlockStart + site.BlockBytes, std::filesystem::file_size(exe.Bytes()));
}

// The program file is searched in pieces; a block that starts across two of them in a
// large program is found all the same, and a large program without one opens the package beside it.
TEST_F(OpenPackageTest, LargeProgramIsSearchedThroughout) {
    const std::string program = std::string(kMarkerScanPiece - 37, '\x90');
    WriteFile(exe, program);
    WriteFile(dir / "QenRuntime.qen", test::MakeBlock(test::SmallSite()));
    ASSERT_TRUE(Open());
    EXPECT_FALSE(site.Embedded);

    WriteFile(exe, program + test::MakeBlock(test::SmallSite()));
    ContentPackage branded;
    ASSERT_TRUE(OpenPackage(ui, settings, exe, Path(), branded, userDataPath));
    EXPECT_TRUE(branded.Embedded);
    EXPECT_EQ(branded.BlockStart, program.size());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OpenPackageTest, TitleAndSettingsNameFallBack) {
    struct Case {
        bool embedded;
        std::string title, settingsName, wantTitle, wantSettings;
    };
    const Case cases[] = {
        {true, "", "Brand", "Brand", "Brand"},
        {true, "", "", "QenRuntime", "QenRuntime"},
        {false, "", "Brand", "Brand", "QenRuntime"},
        {false, "", "", "QenRuntime", "QenRuntime"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settingsName + (c.embedded ? " embedded" : " file"));
        auto description = test::SmallSite();
        description.title = c.title;
        description.settingsName = c.settingsName;
        test::TempDir folder;
        const Path program = folder / "prog";
        WriteFile(program, "program" + (c.embedded ? test::MakeBlock(description) : std::string()));
        if (!c.embedded) WriteFile(folder / "prog.qen", test::MakeBlock(description));
        ContentPackage fresh;
        ASSERT_TRUE(OpenPackage(ui, settings, program, Path(), fresh, userDataPath));
        EXPECT_EQ(fresh.Title, c.wantTitle);
        EXPECT_EQ(fresh.SettingsName, c.wantSettings);
    }
}

TEST_F(OpenPackageTest, ChangedHeaderByteIsCorrupt) {
    std::string image = test::MakeBlock(test::SmallSite());
    image[block::kTitle] ^= 1;
    WriteFile(dir / "QenRuntime.qen", image);
    EXPECT_FALSE(Open());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"The .qen file is corrupt"});

    // The same in a branded program names the program.
    test::FakeUi exeUi;
    ContentPackage branded;
    WriteFile(other / "prog", "program" + image);
    EXPECT_FALSE(OpenPackage(exeUi, settings, other / "prog", Path(), branded, userDataPath));
    EXPECT_EQ(exeUi.Texts(), std::vector<std::string>{"The .exe file is corrupt"});
}

TEST_F(OpenPackageTest, DigestTerminatorAndDigestCase) {
    std::string image = test::MakeBlock(test::SmallSite());
    std::string upper = image;
    for (std::size_t i = block::kDigest; i < block::kDigest + 72; ++i)
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
    WriteFile(other / "upper.qen", upper);
    EXPECT_TRUE(Open(other / "upper.qen"));

    image[block::kDigestEnd + 1] = 1;
    WriteFile(other / "unterminated.qen", image);
    ContentPackage second;
    EXPECT_FALSE(OpenPackage(ui, settings, exe, other / "unterminated.qen", second, userDataPath));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"The .qen file is corrupt"});
}

TEST(FindBlock, SecondMarkerMustStandExactly6200BytesOn) {
    const std::string marker = BlockMarker();
    auto imageWithGap = [&](std::size_t gap) {
        std::string image(20000, 'z');
        image.replace(500, 100, marker);
        image.replace(500 + gap, 100, marker);
        return image;
    };
    EXPECT_EQ(FindBlockStart(imageWithGap(6200), marker), 500u);
    EXPECT_FALSE(FindBlockStart(imageWithGap(6199), marker));
    EXPECT_FALSE(FindBlockStart(imageWithGap(6201), marker));

    // Only the first two occurrences count.
    std::string three = imageWithGap(6200);
    three.replace(9000, 100, marker);
    EXPECT_EQ(FindBlockStart(three, marker), 500u);
    std::string early = imageWithGap(6200);
    early.replace(100, 100, marker);
    EXPECT_FALSE(FindBlockStart(early, marker));
    EXPECT_FALSE(FindBlockStart(marker, marker));
}

// A hostile packager holds the key and can sign any header; the layout is still checked.
TEST_F(OpenPackageTest, SignedButUnsoundLayoutIsRefusedBeforeAnythingIsRead) {
    struct Case {
        const char* what;
        std::function<void(std::string&)> tamper;
    };
    auto name = [](std::size_t row, std::string text) {
        return [row, text](std::string& image) {
            image.replace(test::MemberRow(row) + block::kMemberNameOffset, block::kMemberNameSize,
                          block::kMemberNameSize, '\0');
            image.replace(test::MemberRow(row) + block::kMemberNameOffset, text.size(), text);
        };
    };
    const Case cases[] = {
        {"parent folder", name(1, "../evil.html")},
        {"dot dot", name(1, "..")},
        {"dot", name(1, ".")},
        {"empty name", name(1, "")},
        {"slash", name(1, "sub/evil.html")},
        {"absolute", name(1, "/tmp/evil.html")},
        {"backslash", name(1, "..\\evil.html")},
        {"unterminated name", [](std::string& image) {
             image.replace(test::MemberRow(0) + block::kMemberNameOffset, block::kMemberNameSize,
                           block::kMemberNameSize, 'n');
         }},
        {"offset past data", [](std::string& image) {
             WriteWord(image, test::MemberRow(2), static_cast<std::uint32_t>(image.size()));
         }},
        {"size past data", [](std::string& image) {
             WriteWord(image, test::MemberRow(2) + 4, 0xFFFFFFF0u);
         }},
        {"offset inside header", [](std::string& image) { WriteWord(image, test::MemberRow(2), 6000); }},
        {"data length past file", [](std::string& image) {
             WriteWord(image, block::kDataLength, ReadWord(image, block::kDataLength) + 8);
         }},
        {"data length not whole blocks", [](std::string& image) {
             WriteWord(image, block::kDataLength, ReadWord(image, block::kDataLength) - 1);
         }},
        {"member count above 100", [](std::string& image) { WriteWord(image, block::kMemberCount, 101); }},
        {"table cut short", [](std::string& image) { image.resize(9000); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string image = test::MakeBlock(test::SmallSite());
        c.tamper(image);
        if (image.size() > block::kDigestEnd) test::Resign(image);
        WriteFile(other / "hostile.qen", image);
        test::FakeUi hostileUi;
        ContentPackage hostile;
        EXPECT_FALSE(OpenPackage(hostileUi, settings, exe, other / "hostile.qen", hostile, userDataPath));
        ASSERT_EQ(hostileUi.messages.size(), 1u);
        EXPECT_EQ(hostileUi.messages[0].text.rfind("The .qen file is corrupt (", 0), 0u)
            << hostileUi.messages[0].text;
        EXPECT_FALSE(hostile.ReadBranding());
        ContentSite site;
        EXPECT_FALSE(site.BuildSite(hostile, dir.path()));
    }
}

}  // namespace
}  // namespace qen
