#include "store/VideoStore.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "store/UserDataFile.h"

namespace qen {

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMaxUserDataFileSize = std::uintmax_t{1} << 30;

bool WriteFileWhole(const std::string& path, const std::string& bytes) {
    std::ofstream file(fs::path(path), std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.flush();
    if (!file) return false;
    file.close();
    return !file.fail();
}

template <typename List, typename Pred>
bool RemoveFirst(List& list, Pred pred) {
    auto it = std::find_if(list.begin(), list.end(), pred);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

}  // namespace

void UserData::ClearSavedData() {
    CurrentVideos.clear();
    DeletedVideoIds.clear();
    Playlist.clear();
    SavedArticles.clear();
    Notes.clear();
    DiaryEntries.clear();
    ViewedArticleKeys.clear();
    MonthFirstDates = 1;
}

VideoStore::VideoStore(Ui& ui) : ui_(ui), writer_(WriteFileWhole) {}

void VideoStore::SetFileWriter(FileWriter writer) { writer_ = writer ? std::move(writer) : WriteFileWhole; }

bool VideoStore::LoadUserData(const std::string& path) {
    std::error_code ec;
    const auto status = fs::status(fs::path(path), ec);
    if (status.type() == fs::file_type::not_found) return true;

    // Only a regular file of a size a user data file can have is read: a device or a pipe
    // never ends, and a huge file would exhaust memory before its trailer is ever checked.
    std::ifstream file;
    std::uintmax_t size = 0;
    if (!ec && fs::is_regular_file(status)) {
        size = fs::file_size(fs::path(path), ec);
        if (!ec && size <= kMaxUserDataFileSize) file.open(fs::path(path), std::ios::binary);
    }
    if (!file.is_open()) {
        ui_.ShowMessage("Unable to load Video List from file:\n" + path, Icon::Stop);
        return false;
    }
    std::string image(static_cast<std::size_t>(size), '\0');
    file.read(image.data(), static_cast<std::streamsize>(image.size()));
    // A file that shrank while being read is as damaged as a short one.
    const bool readFailed = static_cast<std::uintmax_t>(file.gcount()) != size;
    file.close();

    UserData loaded;
    if (readFailed || !DecodeUserData(image, loaded)) {
        ui_.ShowMessage("Unable to load data from .lum file", Icon::Stop);
        ClearSavedData();
        return false;
    }
    static_cast<UserData&>(*this) = std::move(loaded);
    PlaylistChanged = false;
    return true;
}

bool VideoStore::SaveUserData(const std::string& path) {
    // The previous file stays whole until the new one is complete on disk.
    const std::string temp = path + ".saving";
    if (!writer_(temp, EncodeUserData(*this))) {
        std::error_code ec;
        fs::remove(fs::path(temp), ec);
        return false;
    }
    std::error_code ec;
    fs::rename(fs::path(temp), fs::path(path), ec);
    if (ec) {
        fs::remove(fs::path(temp), ec);
        return false;
    }
    PlaylistChanged = false;
    return true;
}

void VideoStore::ClearCurrentVideos() { CurrentVideos.clear(); }

bool VideoStore::DeleteCurrentVideo(const std::string& id) {
    auto it = std::find_if(CurrentVideos.begin(), CurrentVideos.end(),
                           [&](const VideoEntry& v) { return v.id == id; });
    if (it == CurrentVideos.end()) return false;
    if (DeletedVideoIds.size() < kMaxDeletedVideoIds) DeletedVideoIds.push_back(id);
    CurrentVideos.erase(it);
    return true;
}

std::string VideoStore::FindVideoTitle(const std::string& id) const {
    for (const auto& v : CurrentVideos)
        if (v.id == id) return v.title;
    for (const auto& v : RelatedVideos)
        if (v.id == id) return v.title;
    return {};
}

bool VideoStore::AddToPlaylist(const std::string& id) {
    RemoveFirst(Playlist, [&](const VideoEntry& v) { return v.id == id; });
    if (Playlist.size() >= kMaxPlaylist) {
        ui_.ShowMessage(kPlaylistFullMessage, Icon::Stop);
        return false;
    }
    Playlist.insert(Playlist.begin(), VideoEntry{id, FindVideoTitle(id)});
    PlaylistChanged = true;
    return true;
}

bool VideoStore::DeleteFromPlaylist(const std::string& id) {
    if (!RemoveFirst(Playlist, [&](const VideoEntry& v) { return v.id == id; })) return false;
    PlaylistChanged = true;
    return true;
}

void VideoStore::ClearPlaylist() {
    Playlist.clear();
    PlaylistChanged = true;
}

bool VideoStore::AddSavedArticle(const std::string& key, const std::string& title) {
    if (!IsArticleSaved(key) && SavedArticles.size() >= kMaxSavedArticles) {
        ui_.ShowMessage(kSavedArticlesFullMessage, Icon::Stop);
        return false;
    }
    RemoveSavedArticle(key);
    SavedArticles.insert(SavedArticles.begin(), SavedArticle{key, title});
    return true;
}

bool VideoStore::RemoveSavedArticle(const std::string& key) {
    return RemoveFirst(SavedArticles, [&](const SavedArticle& a) { return a.key == key; });
}

bool VideoStore::IsArticleSaved(const std::string& key) const {
    return std::any_of(SavedArticles.begin(), SavedArticles.end(),
                       [&](const SavedArticle& a) { return a.key == key; });
}

int VideoStore::CompareNoteTitles(const std::string& a, const std::string& b) {
    auto lower = [](char c) {
        auto u = static_cast<unsigned char>(c);
        return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
    };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = lower(a[i]), y = lower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool VideoStore::NotesFull() {
    if (Notes.size() < kMaxNotes) return false;
    ui_.ShowMessage(kNotesFullMessage, Icon::Stop);
    return true;
}

bool VideoStore::DiaryFull() {
    if (DiaryEntries.size() < kMaxDiaryEntries) return false;
    ui_.ShowMessage(kDiaryFullMessage, Icon::Stop);
    return true;
}

bool VideoStore::InsertNote(const NoteEntry& note) {
    if (NotesFull()) return false;
    auto at = std::upper_bound(Notes.begin(), Notes.end(), note, [](const NoteEntry& x, const NoteEntry& y) {
        return CompareNoteTitles(x.title, y.title) < 0;
    });
    Notes.insert(at, note);
    return true;
}

bool VideoStore::InsertDiaryEntry(const DiaryEntry& entry) {
    if (DiaryFull()) return false;
    auto at = std::upper_bound(DiaryEntries.begin(), DiaryEntries.end(), entry,
                               [](const DiaryEntry& x, const DiaryEntry& y) { return x.timestamp < y.timestamp; });
    DiaryEntries.insert(at, entry);
    return true;
}

}  // namespace qen
