#include "store/VideoStore.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "files/FileIO.h"
#include "store/UserDataFile.h"

namespace qen {

namespace fs = std::filesystem;

namespace {

template <typename List, typename Pred>
bool RemoveFirst(List& list, Pred pred) {
    auto it = std::find_if(list.begin(), list.end(), pred);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

}  // namespace

void UserData::ClearSavedData() { *this = UserData{}; }

Outcome VideoStore::LoadUserData(const Path& path) {
    std::error_code ec;
    if (fs::status(path.Bytes(), ec).type() == fs::file_type::not_found) return Outcome::Success();

    // Only a regular file of a size a user data file can have is read: a device or a pipe
    // never ends, and a huge file would exhaust memory before its trailer is ever checked.
    FileError error;
    std::optional<std::string> image = ReadFileBytes(path, &error);
    if (!image && error.kind != FileError::Kind::OutOfMemory)
        return Outcome::Failure("Unable to load Video List from file:\n" + path.Display());

    UserData loaded;
    UserDataDamage damage;
    if (!image || !DecodeUserData(*image, loaded, &damage)) {
        ClearSavedData();
        // Which file and where it breaks, so the user (or support, with qen-data) can act on it.
        const std::string why = image ? damage.Describe() : error.Reason();
        return Outcome::Failure("Unable to load data from .lum file " + path.Display() + "\n\nIt is " + why);
    }
    static_cast<UserData&>(*this) = std::move(loaded);
    return Outcome::Success();
}

bool VideoStore::SaveUserData(const Path& path, FileError* error) const {
    return SaveFileSafely(path, EncodeUserData(*this), error);
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

bool VideoStore::AddToPlaylist(const VideoEntry& video) {
    RemoveFirst(Playlist, [&](const VideoEntry& v) { return v.id == video.id; });
    if (Playlist.size() >= kMaxPlaylist) return false;
    Playlist.insert(Playlist.begin(), video);
    return true;
}

bool VideoStore::DeleteFromPlaylist(const std::string& id) {
    return RemoveFirst(Playlist, [&](const VideoEntry& v) { return v.id == id; });
}

void VideoStore::ClearPlaylist() { Playlist.clear(); }

bool VideoStore::AddSavedArticle(const std::string& key, const std::string& title) {
    if (!IsArticleSaved(key) && SavedArticles.size() >= kMaxSavedArticles) return false;
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

bool VideoStore::NotesFull() const { return Notes.size() >= kMaxNotes; }

bool VideoStore::DiaryFull() const { return DiaryEntries.size() >= kMaxDiaryEntries; }

// Both insertions scan from the front rather than search: a list read from a file is not
// guaranteed to be in order.
bool VideoStore::InsertNote(const NoteEntry& note) {
    if (NotesFull()) return false;
    auto at = Notes.begin();
    while (at != Notes.end() && CompareNoteTitles(at->title, note.title) <= 0) ++at;
    Notes.insert(at, note);
    return true;
}

bool VideoStore::InsertDiaryEntry(const DiaryEntry& entry) {
    if (DiaryFull()) return false;
    auto at = DiaryEntries.begin();
    while (at != DiaryEntries.end() && at->timestamp <= entry.timestamp) ++at;
    DiaryEntries.insert(at, entry);
    return true;
}

}  // namespace qen
