#pragma once
// All user data held in memory for the whole run, and the operations the link
// commands apply to it. Lists are ordered; inserting at the front or at a sorted
// place moves the later entries down, removing an entry closes the gap.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Outcome.h"
#include "base/Path.h"

namespace qen {

struct FileError;

struct VideoEntry {
    std::string id;
    std::string title;  // as it stood in the feed, character references kept
    bool operator==(const VideoEntry&) const = default;
};

struct SavedArticle {
    std::string key;
    std::string title;
    bool operator==(const SavedArticle&) const = default;
};

struct NoteEntry {
    std::string title;  // not empty
    std::string text;   // may hold "\r\n" line breaks
    bool operator==(const NoteEntry&) const = default;
};

struct DiaryEntry {
    std::uint32_t timestamp = 0;  // seconds since 1970-01-01 00:00 UTC
    std::string text;             // one line
    bool operator==(const DiaryEntry&) const = default;
};

// The user's data, all of it carried by the ".lum" file. Kept apart from the store's rules
// so the file format can be read and written on its own (tools, fuzzing).
struct UserData {
    static constexpr std::size_t kMaxCurrentVideos = 20000;
    static constexpr std::size_t kMaxDeletedVideoIds = 5000;
    static constexpr std::size_t kMaxPlaylist = 5000;
    static constexpr std::size_t kMaxSavedArticles = 1000;
    static constexpr std::size_t kMaxNotes = 1000;
    static constexpr std::size_t kMaxDiaryEntries = 2000;

    std::vector<VideoEntry> CurrentVideos;        // newest fetch first
    std::vector<std::string> DeletedVideoIds;     // oldest deletion first
    std::vector<VideoEntry> Playlist;             // most recently added first
    std::vector<SavedArticle> SavedArticles;      // most recently saved first
    std::vector<NoteEntry> Notes;                 // by title, case-insensitive, ascending
    std::vector<DiaryEntry> DiaryEntries;         // by timestamp ascending
    // " key1 key2 key3 " (leading blank, each key followed by a blank) or empty.
    std::string ViewedArticleKeys;
    std::int32_t MonthFirstDates = 1;             // 1: month/day/year, 0: day/month/year

    // Back to the state of a new store (what a damaged file leaves behind).
    void ClearSavedData();
    bool operator==(const UserData&) const = default;
};

class VideoStore : public UserData {
public:
    // Succeeds when the file was read or does not exist; fails with the message to show
    // when it could not be opened or was damaged. A damaged file empties the saved lists.
    Outcome LoadUserData(const Path& path);
    // Saves safely (see SaveFileSafely): a failed save leaves the previous file untouched.
    // True when the file was replaced; `error` says why not.
    bool SaveUserData(const Path& path, FileError* error = nullptr) const;

    void ClearCurrentVideos();
    bool DeleteCurrentVideo(const std::string& id);

    // Moves the video to the front of the playlist, or puts it there; false when the
    // playlist is full.
    bool AddToPlaylist(const VideoEntry& video);
    bool DeleteFromPlaylist(const std::string& id);
    void ClearPlaylist();

    // Moves an already saved key to the front with the new title; a new key is
    // refused (false) when the list is full.
    bool AddSavedArticle(const std::string& key, const std::string& title);
    bool RemoveSavedArticle(const std::string& key);
    bool IsArticleSaved(const std::string& key) const;

    // Additions for the notepad and the diary. Each keeps its list's order and
    // refuses (false, nothing lost) when the list is full.
    // A note goes before the first note whose title compares higher (case-insensitive), so
    // equal titles keep the order they were saved in.
    bool InsertNote(const NoteEntry& note);
    // A diary entry goes before the first entry stamped later.
    bool InsertDiaryEntry(const DiaryEntry& entry);
    // True when one more note / diary entry does not fit; lets a dialog refuse before the
    // user types anything.
    bool NotesFull() const;
    bool DiaryFull() const;

    // Case-insensitive title order of the notepad: bytes with A-Z taken as a-z.
    static int CompareNoteTitles(const std::string& a, const std::string& b);
};

// What a run keeps beside the user's data belongs to the feature that uses it (the videos'
// run state), so the store's fields are exactly what the file saves and clearing resets.
static_assert(sizeof(VideoStore) == sizeof(UserData), "the store holds the user's data and nothing else");

// Messages shown when a list is full.
inline constexpr const char* kPlaylistFullMessage = "The playlist is full";
inline constexpr const char* kSavedArticlesFullMessage =
    "The list of saved articles is full (1000 articles) - remove an article before saving another";
inline constexpr const char* kNotesFullMessage =
    "The notepad is full (1000 notes) - delete a note before adding another";
inline constexpr const char* kDiaryFullMessage =
    "The diary is full (2000 entries) - delete an entry before adding another";

}  // namespace qen
