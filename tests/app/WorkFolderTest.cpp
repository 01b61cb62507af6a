#include <gtest/gtest.h>

#include <filesystem>

#include "app/WorkFolder.h"
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

    std::optional<Path> folder = MakeWorkFolder(temp.path(), 1765000000);

    if (!GetParam().suffix) {
        EXPECT_FALSE(folder);
        return;
    }
    ASSERT_TRUE(folder);
    EXPECT_EQ(*folder, Path(base + *GetParam().suffix + "/"));
    EXPECT_TRUE(fs::is_directory(folder->Bytes()));
}

INSTANTIATE_TEST_SUITE_P(Names, MakeWorkFolderTest,
                         ::testing::Values(TakenNamesCase{0, ""}, TakenNamesCase{1, "x"},
                                           TakenNamesCase{3, "xxx"}, TakenNamesCase{4, std::nullopt}));

TEST(MakeWorkFolder, AFileOfThatNameMakesTheNameTakenToo) {
    test::TempDir temp;
    test::WriteFile(temp / "lumfiles__7", "not a folder");
    EXPECT_EQ(MakeWorkFolder(temp.path(), 7), temp / "lumfiles__7x/");
}

TEST(MakeWorkFolder, StopsAtOnceWhenTheTemporaryFolderIsMissing) {
    test::TempDir temp;
    EXPECT_FALSE(MakeWorkFolder(temp / "missing/", 1));
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

}  // namespace
}  // namespace qen
