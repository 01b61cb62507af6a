#pragma once
// User data for the benchmarks: a typical store and one with every list at its capacity.
#include <cstdint>
#include <string>

#include "store/VideoStore.h"

namespace qen::bench {

struct UserDataSizes {
    std::size_t currentVideos, deletedIds, playlist, savedArticles, notes, diaryEntries;
};

inline constexpr UserDataSizes kTypicalUserData{50, 30, 100, 10, 20, 200};
inline constexpr UserDataSizes kFullUserData{UserData::kMaxCurrentVideos, UserData::kMaxDeletedVideoIds,
                                             UserData::kMaxPlaylist,      UserData::kMaxSavedArticles,
                                             UserData::kMaxNotes,         UserData::kMaxDiaryEntries};

// Eleven characters, like the feed's video ids.
inline std::string VideoId(std::size_t n) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string id(11, 'A');
    for (std::size_t i = 0; i < id.size(); ++i, n /= 64) id[i] = digits[(n * 2654435761u + i) % 64];
    return id;
}

inline std::string VideoTitle(std::size_t n) {
    // Feed titles keep their character references.
    return "Dog training #" + std::to_string(n) + ": loose-lead walking &amp; recall for puppies &#8211; part " +
           std::to_string(n % 12 + 1);
}

inline UserData MakeUserData(const UserDataSizes& sizes) {
    UserData data;
    for (std::size_t n = 0; n < sizes.currentVideos; ++n) data.CurrentVideos.push_back({VideoId(n), VideoTitle(n)});
    for (std::size_t n = 0; n < sizes.deletedIds; ++n) data.DeletedVideoIds.push_back(VideoId(1'000'000 + n));
    for (std::size_t n = 0; n < sizes.playlist; ++n)
        data.Playlist.push_back({VideoId(2'000'000 + n), VideoTitle(2'000'000 + n)});
    for (std::size_t n = 0; n < sizes.savedArticles; ++n) {
        const std::string key = "Dog-Training-Tip-" + std::to_string(n) + "&id=" + std::to_string(100'000 + n);
        data.SavedArticles.push_back({key, "How to stop your dog pulling on the lead, lesson " + std::to_string(n)});
        if (n < 100) data.ViewedArticleKeys += " " + key;
    }
    if (!data.ViewedArticleKeys.empty()) data.ViewedArticleKeys += " ";
    for (std::size_t n = 0; n < sizes.notes; ++n) {
        std::string text;
        // Notes of a few lines, every tenth one a long page that needs the wider length prefix.
        const std::size_t lines = n % 10 == 9 ? 80 : 6;
        for (std::size_t line = 0; line < lines; ++line)
            text += "Practise sit & stay for <five> minutes before dinner, then reward.\r\n";
        data.Notes.push_back({"Note " + std::to_string(10'000 + n), text});
    }
    for (std::size_t n = 0; n < sizes.diaryEntries; ++n)
        data.DiaryEntries.push_back({static_cast<std::uint32_t>(1'700'000'000u + n * 86'400u),
                                     "Walked 3 km, recall worked 8 times out of 10; pulled twice near the park & <gate>."});
    return data;
}

}  // namespace qen::bench
