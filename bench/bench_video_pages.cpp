// Writing every videos page of a full store (20,000 videos, 667 pages) compared with
// writing the same bytes as plain files, both in the same run: the counter
// ratio_to_plain_write is what building the pages adds on top of the writing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "BenchFixtures.h"
#include "files/FileIO.h"
#include "package/ContentSite.h"
#include "store/VideoStore.h"
#include "videos/VideoPages.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<qen::VideoEntry> FullStore() {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::vector<qen::VideoEntry> videos;
    for (std::size_t n = 0; n < qen::UserData::kMaxCurrentVideos; ++n) {
        std::string id(11, 'A');
        for (std::size_t i = 0, v = n; i < id.size(); ++i, v /= 64) id[i] = digits[(v * 2654435761u + i) % 64];
        videos.push_back({id, "Dog training #" + std::to_string(n) + ": loose-lead walking &amp; recall for puppies " +
                                  "&#8211; part " + std::to_string(n % 12 + 1)});
    }
    return videos;
}

void BM_WriteVideoPages_FullStore(benchmark::State& state) {
    qen::VideoStore store;
    qen::VideoRunState run;
    store.CurrentVideos = FullStore();
    // Each side overwrites its own files of the round before: rewriting a file that the
    // other side has just written can wait on that file's write-back.
    qen::bench::TempFolder folder("videopages");
    qen::bench::TempFolder plainFolder("videopages_plain");
    qen::ContentSite site;
    site.WorkFolder = qen::Path(folder.Path());
    site.PageTemplate = qen::bench::PageTemplate();
    site.Niche = "Dog Training";
    const std::string thumbnailHost = "i.ytimg.com";

    const int pages = qen::PageCountFor(store.CurrentVideos.size());
    std::vector<std::string> texts;
    std::size_t bytes = 0;
    for (int page = 1; page <= pages; ++page) {
        texts.push_back(qen::VideoPageText(store.CurrentVideos, page, site, thumbnailHost));
        bytes += texts.back().size();
    }

    double built = 0, plain = 0, textOnly = 0;
    for (auto _ : state) {
        const auto textStart = Clock::now();
        for (int page = 1; page <= pages; ++page)
            benchmark::DoNotOptimize(qen::VideoPageText(store.CurrentVideos, page, site, thumbnailHost));
        textOnly += std::chrono::duration<double>(Clock::now() - textStart).count();

        // The baseline in every round, so both see the same disk and cache state.
        const auto plainStart = Clock::now();
        for (int page = 1; page <= pages; ++page)
            if (!qen::WriteWholeFile(qen::Path(plainFolder.File("videos" + std::to_string(page) + ".html")),
                                     texts[page - 1]))
                return state.SkipWithError("plain write failed");
        const auto builtStart = Clock::now();
        if (!qen::WriteVideoPages(store, run, site, thumbnailHost).Ok())
            return state.SkipWithError("page write failed");
        const auto builtEnd = Clock::now();

        plain += std::chrono::duration<double>(builtStart - plainStart).count();
        const double round = std::chrono::duration<double>(builtEnd - builtStart).count();
        built += round;
        state.SetIterationTime(round);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["pages"] = pages;
    state.counters["page_bytes"] = static_cast<double>(bytes);
    state.counters["ratio_to_plain_write"] = plain > 0 ? built / plain : 0;
    state.counters["building_to_plain_write"] = plain > 0 ? textOnly / plain : 0;
}
BENCHMARK(BM_WriteVideoPages_FullStore)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
