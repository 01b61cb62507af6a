// The user data file beside the best a program could do with the same bytes: the durable
// save (temporary file forced to the disk, renamed over the old one, folder synced)
// against writing and syncing the bytes once, and the load (read, checked, decoded)
// against reading them. A typical store is timed next to one with every list at its
// capacity. Goal for the full store: ratio at most 2 both ways.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <string>

#include "BenchFixtures.h"
#include "SideBySide.h"
#include "UserDataFixtures.h"
#include "store/UserDataFile.h"
#include "store/VideoStore.h"

namespace {

using qen::bench::Clock;
using qen::bench::SideBySide;
using qen::bench::TempFolder;
using qen::bench::WritePlainFile;

const qen::UserData& Data(bool full) {
    static const qen::UserData typical = qen::bench::MakeUserData(qen::bench::kTypicalUserData);
    static const qen::UserData atCapacity = qen::bench::MakeUserData(qen::bench::kFullUserData);
    return full ? atCapacity : typical;
}

// The baseline's load: the file's bytes into memory.
bool ReadAll(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bytes.resize(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)));
    const bool ok = ::pread(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && ok;
}

void BM_SaveUserData(benchmark::State& state, bool full) {
    qen::VideoStore store;
    static_cast<qen::UserData&>(store) = Data(full);
    const std::string bytes = qen::EncodeUserData(store);
    TempFolder folder("userdata");
    const qen::Path path(folder.File("site.lum"));
    const std::string plainPath = folder.File("plain.lum");
    SideBySide sides(state, Clock::Wall);
    for (auto _ : state)
        // The baseline's save: the bytes written over the file and forced to the disk, once.
        if (!sides.Round({[&] { return store.SaveUserData(path); }},
                         {[&] { return WritePlainFile(plainPath, bytes, /*sync=*/true); }}))
            return state.SkipWithError("a save failed");
    sides.Report();
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK_CAPTURE(BM_SaveUserData, typical, false)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveUserData, full, true)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_LoadUserData(benchmark::State& state, bool full) {
    TempFolder folder("userdata");
    const qen::Path path(folder.File("site.lum"));
    {
        qen::VideoStore writer;
        static_cast<qen::UserData&>(writer) = Data(full);
        if (!writer.SaveUserData(path)) return state.SkipWithError("SaveUserData failed");
    }
    // Each side loads into something fresh, as at start-up, and what it loaded is freed
    // outside the timing.
    std::optional<qen::VideoStore> store;
    std::string bytes;
    SideBySide sides(state, Clock::Wall);
    for (auto _ : state) {
        const bool ok = sides.Round({[&] {
                                         store.emplace();
                                         return store->LoadUserData(path).Ok();
                                     },
                                     [&] { store.reset(); }},
                                    {[&] { return ReadAll(path.Bytes(), bytes); }, [&] { std::string().swap(bytes); }});
        if (!ok) return state.SkipWithError("a load failed");
    }
    sides.Report();
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK_CAPTURE(BM_LoadUserData, typical, false)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LoadUserData, full, true)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
