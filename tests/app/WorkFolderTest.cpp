#include <gtest/gtest.h>

#include <filesystem>

#include "app/WorkFolder.h"
#include "fakes/FakeSystem.h"
#include "fakes/TempDir.h"

namespace qen {
namespace {

namespace fs = std::filesystem;

struct TakenNamesCase {
    int alreadyTaken;                    // how many of "", "x", "xx", "xxx" exist before
    std::optional<std::string> suffix;   // the suffix of the folder made, or none
};

class MakeWorkFolderTest : public ::testing::TestWithParam<TakenNamesCase> {};

TEST_P(MakeWorkFolderTest, RetriesWithUpToThreeXsWhileTheNameIsTaken) {
    test::TempDir temp;
    const std::string base = (temp / "lumfiles__1765000000").Bytes();
    std::string taken = base;
    for (int i = 0; i < GetParam().alreadyTaken; ++i, taken += "x") fs::create_directory(taken);

    std::optional<Path> folder = MakeWorkFolder(temp.path(), 1765000000, 77);

    if (!GetParam().suffix) {
        EXPECT_FALSE(folder);
        return;
    }
    ASSERT_TRUE(folder);
    EXPECT_EQ(*folder, Path(base + *GetParam().suffix + "/"));
    EXPECT_TRUE(fs::is_directory(folder->Bytes()));
    // Only this user may enter it, and it names the process that owns it.
    EXPECT_EQ(fs::status(folder->Bytes()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(test::ReadFile(*folder / "owner.pid"), "77");
}

INSTANTIATE_TEST_SUITE_P(Names, MakeWorkFolderTest,
                         ::testing::Values(TakenNamesCase{0, ""}, TakenNamesCase{1, "x"},
                                           TakenNamesCase{3, "xxx"}, TakenNamesCase{4, std::nullopt}));

TEST(MakeWorkFolder, AFileOfThatNameMakesTheNameTakenToo) {
    test::TempDir temp;
    test::WriteFile(temp / "lumfiles__7", "not a folder");
    EXPECT_EQ(MakeWorkFolder(temp.path(), 7, 77), temp / "lumfiles__7x/");
}

TEST(MakeWorkFolder, StopsAtOnceWhenTheTemporaryFolderIsMissing) {
    test::TempDir temp;
    EXPECT_FALSE(MakeWorkFolder(temp / "missing/", 1, 77));
    EXPECT_FALSE(test::Exists(temp / "missing"));
}

TEST(RemoveWorkFolderTree, RemovesTheFolderWithLeftoverFiles) {
    test::TempDir temp;
    const Path folder = temp / "lumfiles__1/";
    test::MakeFolders(folder);
    test::WriteFile(folder / "videos7.html", "left behind");
    RemoveWorkFolderTree(folder);
    EXPECT_FALSE(test::Exists(folder));
}

TEST(RemoveLeftoverWorkFolders, OnlyFoldersWhoseOwnerIsGone) {
    test::TempDir temp;
    test::FakeSystem system;
    system.liveProcesses = {300};
    struct Case {
        const char* name;
        const char* owner;  // nullptr: no owner file
        bool kept;
    };
    const Case cases[] = {
        {"lumfiles__1", "200", false},  // its run was killed
        {"lumfiles__2", "300", true},   // still running
        {"lumfiles__3", nullptr, true},  // made before owners were recorded
        {"lumfiles__4", "junk", true},
        {"other__5", "200", true},
    };
    for (const Case& c : cases) {
        test::MakeFolders(temp / c.name);
        if (c.owner) test::WriteFile(temp / c.name / "owner.pid", c.owner);
    }
    RemoveLeftoverWorkFolders(temp.path(), system);
    for (const Case& c : cases) EXPECT_EQ(test::Exists(temp / c.name), c.kept) << c.name;
}

}  // namespace
}  // namespace qen
