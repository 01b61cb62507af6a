#include "files/Folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "fakes/TempDir.h"

namespace qen {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

unsigned ModeOf(const Path& path) {
    struct stat info {};
    return ::lstat(path.WithoutTrailingSlash().Bytes().c_str(), &info) == 0 ? (info.st_mode & 0777) : 0;
}

TEST(MakePrivateFolder, MakesAnOwnerOnlyFolderOnlyWhereNothingIs) {
    TempDir dir;
    test::WriteFile(dir / "file", "x");
    fs::create_directory_symlink((dir / "nowhere").Bytes(), (dir / "dangling").Bytes());
    fs::create_directory((dir / "folder").Bytes());
    const struct {
        const char* name;
        NewFolder expected;
    } kCases[] = {
        {"fresh", NewFolder::Made},
        {"file", NewFolder::NameTaken},
        {"dangling", NewFolder::NameTaken},  // never made through a link
        {"folder", NewFolder::NameTaken},
        {"missing/child", NewFolder::Failed},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(MakePrivateFolder(dir / c.name), c.expected) << c.name;
    }
    EXPECT_EQ(ModeOf(dir / "fresh"), 0700u);
    EXPECT_FALSE(fs::exists((dir / "nowhere").Bytes()));
}

TEST(UsePrivateFolder, TakesOnlyTheUsersOwnRealFolder) {
    TempDir dir;
    fs::create_directory((dir / "open").Bytes());
    fs::permissions((dir / "open").Bytes(), fs::perms(0755), fs::perm_options::replace);
    fs::create_directory((dir / "target").Bytes());
    fs::create_directory_symlink((dir / "target").Bytes(), (dir / "link").Bytes());

    EXPECT_TRUE(UsePrivateFolder(dir / "open"));
    EXPECT_EQ(ModeOf(dir / "open"), 0700u);  // closed again to others
    EXPECT_TRUE(UsePrivateFolder(dir / "new/"));
    EXPECT_EQ(ModeOf(dir / "new"), 0700u);
    EXPECT_FALSE(UsePrivateFolder(dir / "link"));
    EXPECT_FALSE(IsOwnFolder(dir / "link"));
    EXPECT_TRUE(IsOwnFolder(dir / "open/"));
}

TEST(RemoveFolderTree, RemovesLinksInsideWithoutFollowingThem) {
    TempDir dir;
    test::MakeFolders(dir / "outside");
    test::WriteFile(dir / "outside/keep.txt", "kept");
    test::MakeFolders(dir / "tree/sub");
    test::WriteFile(dir / "tree/sub/page.html", "x");
    fs::create_directory_symlink((dir / "outside").Bytes(), (dir / "tree/link").Bytes());

    RemoveFolderTree(dir / "tree/");

    EXPECT_FALSE(fs::exists((dir / "tree").Bytes()));
    EXPECT_EQ(test::ReadFile(dir / "outside/keep.txt"), "kept");
}

TEST(CreateFolders, MakesMissingParentsAndFailsOverAFile) {
    TempDir dir;
    test::WriteFile(dir / "file", "x");
    EXPECT_TRUE(CreateFolders(dir / "a/b/c"));
    EXPECT_TRUE(fs::is_directory((dir / "a/b/c").Bytes()));
    EXPECT_FALSE(CreateFolders(dir / "file/sub"));
}

}  // namespace
}  // namespace qen
