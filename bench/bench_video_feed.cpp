// Reading a feed-sized (4 MB) hostile answer of the video service: many tiny or broken
// entries, false starts and unclosed tags. The time must grow with the feed's size only:
// ratio_to_one_scan compares a keyword batch with one plain search through the same text,
// and stays about the same at 1 MB and at 4 MB.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "store/VideoStore.h"
#include "videos/FeedText.h"
#include "videos/VideoFeedClient.h"

namespace {

using Clock = std::chrono::steady_clock;

enum class Shape { TinyEntries, FalseStarts, UnclosedTitles, UnclosedStartTags, NestedEntries };

std::string Piece(Shape shape, std::size_t n) {
    const std::string id = "vid" + std::to_string(100'000'000 + n % 5);  // mostly repeats
    switch (shape) {
        case Shape::TinyEntries:
            return "<entry><title>Title" + std::to_string(n % 7) + "</title><yt:videoid>" + id + "</yt:videoid></entry>";
        case Shape::FalseStarts:
            return "<entryx><entry-<titlex><yt:videoidx>";
        case Shape::UnclosedTitles:
            return "<entry><title>never closed <title a='1'<yt:videoid>" + id + "</entry>";
        case Shape::UnclosedStartTags:
            return "<entry <title <yt:videoid ";
        case Shape::NestedEntries:
            return "<entry><entry><title>";
    }
    return {};
}

std::string HostileFeed(Shape shape, std::size_t size) {
    std::string feed = "<?xml version='1.0' encoding='UTF-8'?><feed>";
    for (std::size_t n = 0; feed.size() < size; ++n) feed += Piece(shape, n);
    return feed + "</entry></feed>";
}

// Answers the first request with the feed and every later one with nothing.
class OneFeed : public qen::Fetcher {
public:
    explicit OneFeed(const std::string& feed) : feed_(feed) {}
    qen::FetchedText FetchFeedText(qen::FetchChannel, const std::string&) override {
        return {requests_++ == 0 ? feed_ : std::string()};
    }
    qen::FetchedText FetchArticlePage(const std::string&) override { return {}; }
    std::string FetchUpdateText(const std::string&) override { return {}; }
    std::string FetchUpdateBinary(const std::string&) override { return {}; }
    qen::UpdateFileDownload FetchUpdateFile(const std::string&, std::unique_ptr<qen::FileSave>,
                                            std::uint64_t) override {
        return {};
    }
    bool Busy() const override { return false; }
    void WatchCancelFlag(const bool*) override {}
    void Reset() { requests_ = 0; }

private:
    const std::string& feed_;
    int requests_ = 0;
};

void BM_KeywordBatch_HostileFeed(benchmark::State& state, Shape shape) {
    const std::string feed = HostileFeed(shape, static_cast<std::size_t>(state.range(0)));
    qen::VideoStore store;
    OneFeed fetcher(feed);
    qen::VideoFeedClient client(fetcher, store, "feeds.test");
    const bool cancel = false;

    double batch = 0, scan = 0;
    for (auto _ : state) {
        const auto scanStart = Clock::now();
        benchmark::DoNotOptimize(feed.find("<never-there>"));
        const auto batchStart = Clock::now();
        fetcher.Reset();
        benchmark::DoNotOptimize(client.FetchKeywordVideos(false, "Dog Training", 1000, 0, cancel, nullptr).count);
        const auto batchEnd = Clock::now();

        scan += std::chrono::duration<double>(batchStart - scanStart).count();
        const double round = std::chrono::duration<double>(batchEnd - batchStart).count();
        batch += round;
        state.SetIterationTime(round);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * feed.size()));
    state.counters["ratio_to_one_scan"] = scan > 0 ? batch / scan : 0;
}

constexpr std::int64_t kMegabyte = 1'000'000;
#define HOSTILE_FEED(shape)                                                                  \
    BENCHMARK_CAPTURE(BM_KeywordBatch_HostileFeed, shape, Shape::shape)                      \
        ->Arg(kMegabyte)                                                                     \
        ->Arg(4 * kMegabyte)                                                                 \
        ->UseManualTime()                                                                    \
        ->Unit(benchmark::kMillisecond)
HOSTILE_FEED(TinyEntries);
HOSTILE_FEED(FalseStarts);
HOSTILE_FEED(UnclosedTitles);
HOSTILE_FEED(UnclosedStartTags);
HOSTILE_FEED(NestedEntries);

}  // namespace
