#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "fakes/FileSizeLimit.h"
#include "fakes/TempDir.h"
#include "files/FileIO.h"
#include "store/UserDataFile.h"
#include "store/VideoStore.h"

namespace qen {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::string> Ids(const std::vector<VideoEntry>& list) {
    std::vector<std::string> ids;
    for (const auto& v : list) ids.push_back(v.id);
    return ids;
}

class VideoStoreTest : public ::testing::Test {
protected:
    VideoStore store;
    TempDir dir;
    Path path = dir / "site.lum";

    void Fill() {
        store.CurrentVideos = {{"a", "A"}, {"b", "B"}};
        store.DeletedVideoIds = {"x"};
        store.Playlist = {{"p", "P"}};
        store.SavedArticles = {{"k", "K"}};
        store.Notes = {{"n", "text"}};
        store.DiaryEntries = {{5, "d"}};
        store.ViewedArticleKeys = " k ";
        store.MonthFirstDates = 0;
    }
};

TEST_F(VideoStoreTest, NewStoreState) {
    EXPECT_EQ(store.MonthFirstDates, 1);
    EXPECT_TRUE(store.ViewedArticleKeys.empty());
}

TEST_F(VideoStoreTest, SaveThenLoadRestoresTheSavedLists) {
    Fill();
    ASSERT_TRUE(store.SaveUserData(path));
    EXPECT_FALSE(test::Exists(SavingPathFor(path)));

    VideoStore other;
    ASSERT_TRUE(other.LoadUserData(path));
    EXPECT_EQ(static_cast<const UserData&>(other), static_cast<const UserData&>(store));
}

TEST_F(VideoStoreTest, MissingFileLoadsNothingSilently) {
    Fill();
    EXPECT_TRUE(store.LoadUserData(dir / "none.lum"));
    EXPECT_EQ(store.CurrentVideos.size(), 2u);
}

TEST(VideoStoreLoad, UnreadableFileLeavesTheStoreUnchanged) {
    namespace fs = std::filesystem;
    struct Case {
        const char* what;
        std::function<bool(const std::string& path)> make;  // false: not possible here
    };
    const Case cases[] = {
        {"a folder", [](const std::string& p) { return fs::create_directory(p); }},
        // A device never reaches its end: reading it whole would never finish.
        {"a link to an endless device",
         [](const std::string& p) {
             std::error_code ec;
             if (!fs::exists("/dev/zero", ec)) return false;
             fs::create_symlink("/dev/zero", p, ec);
             return !ec;
         }},
        // Sparse: takes no disk space, but reading it whole would take more than a gigabyte.
        {"a file larger than any user data file",
         [](const std::string& p) {
             WriteFile(p, "");
             std::error_code ec;
             fs::resize_file(p, (std::uintmax_t{1} << 30) + 1, ec);
             return !ec;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VideoStore store;
        TempDir dir;
        const std::string path = (dir / "site.lum").Bytes();
        if (!c.make(path)) continue;
        store.CurrentVideos = {{"a", "A"}, {"b", "B"}};
        const Outcome loaded = store.LoadUserData(Path(path));
        EXPECT_FALSE(loaded);
        EXPECT_EQ(loaded.Message(), "Unable to load Video List from file:\n" + path);
        EXPECT_EQ(store.CurrentVideos.size(), 2u);
    }
}

TEST_F(VideoStoreTest, DamagedFileEmptiesTheSavedLists) {
    UserData saved;
    saved.CurrentVideos = {{"a", "A"}};
    const std::string image = EncodeUserData(saved);
    WriteFile(path, image.substr(0, image.size() - 1));
    Fill();

    const Outcome loaded = store.LoadUserData(path);
    EXPECT_FALSE(loaded);
    // Which file, and where it breaks as qen-data check says it.
    EXPECT_EQ(loaded.Message(), "Unable to load data from .lum file " + path.Bytes() + "\n\nIt is damaged at byte " +
                                    std::to_string(image.size() - 4) + ": trailer word 3 runs past the end of the file");
    EXPECT_EQ(static_cast<const UserData&>(store), UserData{});
}

TEST_F(VideoStoreTest, WriteFailingPartWayLeavesThePreviousFileLoadable) {
    Fill();
    ASSERT_TRUE(store.SaveUserData(path));
    const std::string before = ReadFile(path);

    store.Playlist.clear();
    store.Notes.push_back({"new", "note"});
    store.Notes.push_back({"long", std::string(4000, 'n')});
    {
        test::FileSizeLimit limit(before.size() + 100);  // the disk fills up half-way
        FileError error;
        EXPECT_FALSE(store.SaveUserData(path, &error));
        EXPECT_EQ(error.Reason(), "the file is larger than this system allows");
    }
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_FALSE(test::Exists(SavingPathFor(path)));

    VideoStore reloaded;
    EXPECT_TRUE(reloaded.LoadUserData(path));
    EXPECT_EQ(reloaded.Playlist.size(), 1u);
}

TEST_F(VideoStoreTest, SaveIntoMissingFolderFailsSilently) {
    EXPECT_FALSE(store.SaveUserData(dir / "no/such/folder/site.lum"));
}

TEST_F(VideoStoreTest, DeleteCurrentVideoRemovesFirstOccurrenceAndRemembersId) {
    store.CurrentVideos = {{"a", "1"}, {"b", "2"}, {"a", "3"}, {"c", "4"}};
    EXPECT_TRUE(store.DeleteCurrentVideo("a"));
    EXPECT_EQ(Ids(store.CurrentVideos), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(store.CurrentVideos[1].title, "3");
    EXPECT_EQ(store.DeletedVideoIds, std::vector<std::string>{"a"});
    EXPECT_FALSE(store.DeleteCurrentVideo("zz"));
    EXPECT_FALSE(store.DeleteCurrentVideo("A"));  // ids are case-sensitive
}

TEST_F(VideoStoreTest, DeletedIdsStopBeingRememberedAtCapacity) {
    store.DeletedVideoIds.assign(VideoStore::kMaxDeletedVideoIds, "old");
    store.CurrentVideos = {{"a", "A"}};
    EXPECT_TRUE(store.DeleteCurrentVideo("a"));
    EXPECT_TRUE(store.CurrentVideos.empty());
    EXPECT_EQ(store.DeletedVideoIds.size(), VideoStore::kMaxDeletedVideoIds);
    EXPECT_EQ(store.DeletedVideoIds.back(), "old");
}

TEST_F(VideoStoreTest, AddToPlaylistPutsTheVideoAtTheFront) {
    store.Playlist = {{"x", "X"}, {"a", "old"}, {"y", "Y"}};
    EXPECT_TRUE(store.AddToPlaylist({"a", "Title A"}));
    EXPECT_EQ(Ids(store.Playlist), (std::vector<std::string>{"a", "x", "y"}));
    EXPECT_EQ(store.Playlist[0].title, "Title A");

    EXPECT_TRUE(store.AddToPlaylist({"new", ""}));
    EXPECT_EQ(store.Playlist,
              (std::vector<VideoEntry>{{"new", ""}, {"a", "Title A"}, {"x", "X"}, {"y", "Y"}}));
}

TEST_F(VideoStoreTest, FullPlaylist) {
    store.Playlist.assign(VideoStore::kMaxPlaylist, {"v", "V"});
    store.Playlist[10] = {"inside", "I"};
    EXPECT_FALSE(store.AddToPlaylist({"new", ""}));

    // A video already inside moves to the front.
    EXPECT_TRUE(store.AddToPlaylist({"inside", "I"}));
    EXPECT_EQ(store.Playlist.size(), VideoStore::kMaxPlaylist);
    EXPECT_EQ(store.Playlist[0].id, "inside");
}

TEST_F(VideoStoreTest, DeleteFromAndClearPlaylist) {
    store.Playlist = {{"a", ""}, {"b", ""}, {"a", ""}};
    EXPECT_FALSE(store.DeleteFromPlaylist("q"));
    EXPECT_TRUE(store.DeleteFromPlaylist("a"));
    EXPECT_EQ(Ids(store.Playlist), (std::vector<std::string>{"b", "a"}));
    store.ClearPlaylist();
    EXPECT_TRUE(store.Playlist.empty());
}

TEST_F(VideoStoreTest, ClearCurrentVideosKeepsDeletedIds) {
    store.CurrentVideos = {{"a", ""}};
    store.DeletedVideoIds = {"d"};
    store.ClearCurrentVideos();
    EXPECT_TRUE(store.CurrentVideos.empty());
    EXPECT_EQ(store.DeletedVideoIds.size(), 1u);
}

TEST_F(VideoStoreTest, SavedArticles) {
    EXPECT_TRUE(store.AddSavedArticle("k1", "one"));
    EXPECT_TRUE(store.AddSavedArticle("k2", "two"));
    EXPECT_TRUE(store.AddSavedArticle("k1", "one again"));
    ASSERT_EQ(store.SavedArticles.size(), 2u);
    EXPECT_EQ(store.SavedArticles[0], (SavedArticle{"k1", "one again"}));
    EXPECT_TRUE(store.IsArticleSaved("k2"));
    EXPECT_FALSE(store.IsArticleSaved("K2"));
    EXPECT_TRUE(store.RemoveSavedArticle("k2"));
    EXPECT_FALSE(store.RemoveSavedArticle("k2"));
    EXPECT_FALSE(store.IsArticleSaved("k2"));
}

TEST_F(VideoStoreTest, FullListsRefuseNewEntriesAndKeepTheOldOnes) {
    store.SavedArticles.assign(VideoStore::kMaxSavedArticles, {"k", "K"});
    store.SavedArticles.back() = {"last", "L"};
    store.Notes.assign(VideoStore::kMaxNotes, {"n", "N"});
    store.DiaryEntries.assign(VideoStore::kMaxDiaryEntries, {1, "D"});
    const UserData before = store;

    EXPECT_FALSE(store.AddSavedArticle("new", "x"));
    EXPECT_FALSE(store.InsertNote({"a", "x"}));
    EXPECT_FALSE(store.InsertDiaryEntry({0, "x"}));
    EXPECT_EQ(static_cast<const UserData&>(store), before);

    // Saving an article that is already saved only moves it.
    EXPECT_TRUE(store.AddSavedArticle("last", "L2"));
    EXPECT_EQ(store.SavedArticles.front(), (SavedArticle{"last", "L2"}));
    EXPECT_EQ(store.SavedArticles.size(), VideoStore::kMaxSavedArticles);
}

TEST_F(VideoStoreTest, NotesAndDiaryEntriesGoToTheirSortedPlace) {
    for (const char* title : {"beta", "Alpha", "_x", "alpha", "b"}) EXPECT_TRUE(store.InsertNote({title, ""}));
    std::vector<std::string> titles;
    for (const auto& n : store.Notes) titles.push_back(n.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"_x", "Alpha", "alpha", "b", "beta"}));

    for (auto [t, text] : {std::pair{20u, "b"}, {10u, "a"}, {20u, "c"}, {5u, "z"}})
        EXPECT_TRUE(store.InsertDiaryEntry({t, text}));
    std::string order;
    for (const auto& e : store.DiaryEntries) order += e.text;
    EXPECT_EQ(order, "zabc");
}

}  // namespace
}  // namespace qen
