// Saving and loading the user data file: encoding and decoding in memory, and the whole
// save (temporary file renamed over) and load through a real file. A typical store is
// timed next to one with every list at its capacity.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "BenchFixtures.h"
#include "store/UserDataFile.h"
#include "store/VideoStore.h"

namespace {

using qen::bench::TempFolder;

struct Sizes {
    std::size_t currentVideos, deletedIds, playlist, savedArticles, notes, diaryEntries;
};

constexpr Sizes kTypical{50, 30, 100, 10, 20, 200};
constexpr Sizes kFull{qen::UserData::kMaxCurrentVideos, qen::UserData::kMaxDeletedVideoIds,
                      qen::UserData::kMaxPlaylist,      qen::UserData::kMaxSavedArticles,
                      qen::UserData::kMaxNotes,         qen::UserData::kMaxDiaryEntries};

// Eleven characters, like the feed's video ids.
std::string VideoId(std::size_t n) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string id(11, 'A');
    for (std::size_t i = 0; i < id.size(); ++i, n /= 64) id[i] = digits[(n * 2654435761u + i) % 64];
    return id;
}

std::string VideoTitle(std::size_t n) {
    // Feed titles keep their character references.
    return "Dog training #" + std::to_string(n) + ": loose-lead walking &amp; recall for puppies &#8211; part " +
           std::to_string(n % 12 + 1);
}

qen::UserData MakeData(const Sizes& sizes) {
    qen::UserData data;
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
            text += "Practise sit and stay for five minutes before dinner, then reward.\r\n";
        data.Notes.push_back({"Note " + std::to_string(10'000 + n), text});
    }
    for (std::size_t n = 0; n < sizes.diaryEntries; ++n)
        data.DiaryEntries.push_back({static_cast<std::uint32_t>(1'700'000'000u + n * 86'400u),
                                     "Walked 3 km, recall worked 8 times out of 10; pulled twice near the park."});
    return data;
}

const qen::UserData& Data(bool full) {
    static const qen::UserData typical = MakeData(kTypical);
    static const qen::UserData atCapacity = MakeData(kFull);
    return full ? atCapacity : typical;
}

void BM_EncodeUserData(benchmark::State& state, bool full) {
    const qen::UserData& data = Data(full);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string image = qen::EncodeUserData(data);
        bytes = image.size();
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK_CAPTURE(BM_EncodeUserData, typical, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EncodeUserData, full, true)->Unit(benchmark::kMicrosecond);

void BM_DecodeUserData(benchmark::State& state, bool full) {
    const std::string image = qen::EncodeUserData(Data(full));
    for (auto _ : state) {
        qen::UserData data;
        if (!qen::DecodeUserData(image, data)) return state.SkipWithError("the encoded image does not decode");
        benchmark::DoNotOptimize(data.Notes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
    state.counters["file_bytes"] = static_cast<double>(image.size());
}
BENCHMARK_CAPTURE(BM_DecodeUserData, typical, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DecodeUserData, full, true)->Unit(benchmark::kMicrosecond);

// The save at exit: encode, write the temporary file and rename it over the old one.
void BM_SaveUserData(benchmark::State& state, bool full) {
    qen::VideoStore store;
    static_cast<qen::UserData&>(store) = Data(full);
    TempFolder folder("userdata");
    const qen::Path path(folder.File("site.lum"));
    for (auto _ : state)
        if (!store.SaveUserData(path)) return state.SkipWithError("SaveUserData failed");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * qen::EncodeUserData(store).size()));
}
BENCHMARK_CAPTURE(BM_SaveUserData, typical, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SaveUserData, full, true)->Unit(benchmark::kMicrosecond);

// The load at start-up, into a fresh store each time.
void BM_LoadUserData(benchmark::State& state, bool full) {
    TempFolder folder("userdata");
    const qen::Path path(folder.File("site.lum"));
    {
        qen::VideoStore writer;
        static_cast<qen::UserData&>(writer) = Data(full);
        if (!writer.SaveUserData(path)) return state.SkipWithError("SaveUserData failed");
    }
    for (auto _ : state) {
        qen::VideoStore store;
        if (const qen::Outcome loaded = store.LoadUserData(path); !loaded)
            return state.SkipWithError(loaded.Message().c_str());
        benchmark::DoNotOptimize(store.Notes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * qen::EncodeUserData(Data(full)).size()));
}
BENCHMARK_CAPTURE(BM_LoadUserData, typical, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LoadUserData, full, true)->Unit(benchmark::kMicrosecond);

}  // namespace
