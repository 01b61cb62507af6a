#pragma once
// The lists the user data file saves, described once. The file's writer and reader, the
// reports on a damaged file and qen-data's JSON all walk this table, so a new saved list
// is a member of UserData and one row here.
#include <array>
#include <cstddef>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

#include "store/VideoStore.h"

namespace qen {

// Reaches an entry that is its own only field: a list of plain texts.
struct WholeEntry {
    template <typename Entry>
    constexpr Entry& operator()(Entry& entry) const {
        return entry;
    }
};

// One field of every entry of a list: a text, or a time in seconds since 1970. The file
// holds a list field by field: every entry's first field, then every entry's second.
template <typename Reach>
struct SavedField {
    const char* key;    // its name in JSON; unused for WholeEntry
    const char* label;  // names it in a report on a damaged file: "playlist title"
    Reach reach;        // a pointer to the member, or WholeEntry

    constexpr SavedField(const char* k, const char* l, Reach r) : key(k), label(l), reach(r) {}

    template <typename Entry>
    constexpr auto& Of(Entry& entry) const {
        return std::invoke(reach, entry);
    }
};

// What a list is called and how many entries it may hold.
struct SavedListInfo {
    const char* key;         // its name in JSON: "CurrentVideos"
    const char* one;         // one entry, in a report: "current video"
    const char* many;        // "current videos"; the file's count of them is "count of current videos"
    std::size_t capacity;
    std::size_t countSlot;   // where its count stands among the counts that open the file
};

template <typename EntryType, typename... Reaches>
struct SavedList : SavedListInfo {
    using Entry = EntryType;

    std::vector<Entry> UserData::*entries;
    std::tuple<SavedField<Reaches>...> fields;

    constexpr SavedList(SavedListInfo info, std::vector<Entry> UserData::*list, SavedField<Reaches>... f)
        : SavedListInfo(info), entries(list), fields(f...) {}

    // Calls f(field) for each field, in the order the file holds them.
    template <typename F>
    constexpr void ForEachField(F&& f) const {
        std::apply([&](const auto&... field) { (f(field), ...); }, fields);
    }
};

// In the order the file holds their entries.
inline constexpr std::tuple kSavedLists{
    SavedList({"DeletedVideoIds", "deleted video id", "deleted video ids", UserData::kMaxDeletedVideoIds, 1},
              &UserData::DeletedVideoIds, SavedField("", "deleted video id", WholeEntry{})),
    SavedList({"CurrentVideos", "current video", "current videos", UserData::kMaxCurrentVideos, 0},
              &UserData::CurrentVideos, SavedField("id", "current video id", &VideoEntry::id),
              SavedField("title", "current video title", &VideoEntry::title)),
    SavedList({"Playlist", "playlist entry", "playlist entries", UserData::kMaxPlaylist, 2}, &UserData::Playlist,
              SavedField("id", "playlist id", &VideoEntry::id),
              SavedField("title", "playlist title", &VideoEntry::title)),
    SavedList({"SavedArticles", "saved article", "saved articles", UserData::kMaxSavedArticles, 3},
              &UserData::SavedArticles, SavedField("key", "saved article key", &SavedArticle::key),
              SavedField("title", "saved article title", &SavedArticle::title)),
    SavedList({"Notes", "note", "notes", UserData::kMaxNotes, 4}, &UserData::Notes,
              SavedField("title", "note title", &NoteEntry::title), SavedField("text", "note text", &NoteEntry::text)),
    SavedList({"DiaryEntries", "diary entry", "diary entries", UserData::kMaxDiaryEntries, 5},
              &UserData::DiaryEntries, SavedField("timestamp", "diary timestamp", &DiaryEntry::timestamp),
              SavedField("text", "diary text", &DiaryEntry::text)),
};

inline constexpr std::size_t kSavedListCount = std::tuple_size_v<decltype(kSavedLists)>;

// Calls f(list, position) for each list, in the order the file holds their entries.
template <typename F>
constexpr void ForEachSavedList(F&& f) {
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (f(std::get<I>(kSavedLists), I), ...);
    }(std::make_index_sequence<kSavedListCount>{});
}

// The same in the order the file states their counts, which JSON keeps too.
template <typename F>
constexpr void ForEachSavedListInCountOrder(F&& f) {
    for (std::size_t slot = 0; slot < kSavedListCount; ++slot)
        ForEachSavedList([&](const auto& list, std::size_t position) {
            if (list.countSlot == slot) f(list, position);
        });
}

// Each count slot is taken by exactly one list.
static_assert([] {
    std::array<int, kSavedListCount> taken{};
    ForEachSavedList([&](const auto& list, std::size_t) {
        if (list.countSlot < kSavedListCount) ++taken[list.countSlot];
    });
    for (int n : taken)
        if (n != 1) return false;
    return true;
}());

// The names of the list at `position`, in the order the file holds their entries.
inline const SavedListInfo& SavedListAt(std::size_t position) {
    static constexpr auto kInfo = std::apply(
        [](const auto&... list) { return std::array<const SavedListInfo*, kSavedListCount>{&list...}; }, kSavedLists);
    return *kInfo[position];
}

}  // namespace qen
