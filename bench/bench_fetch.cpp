// Fetching over loopback: 20 consecutive fetches of a 100 KB feed through the fetcher
// (worker thread, kept connection, shared buffer, a wait that pumps messages), against
// the same 20 fetches made by a bare libcurl loop in the same run, which opens a new
// connection for every fetch. The counters give the ratios; "ratio_to_kept_connection"
// compares with a bare loop that keeps its connection, as the fetcher does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include "BareCurl.h"
#include "BenchFixtures.h"
#include "feedsim/FeedSimServer.h"
#include "files/FileIO.h"
#include "platform/curl/CurlTransport.h"
#include "platform/headless/Headless.h"
#include "web/DownloadFetcher.h"

namespace {

using Clock = std::chrono::steady_clock;
using qen::bench::BareCurlFetch;
using qen::bench::BareCurlClient;

constexpr int kFetches = 20;
constexpr std::size_t kFeedSize = 100 * 1024;

std::string MakeFeed() {
    std::string feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<feed xmlns='http://www.w3.org/2005/Atom'>\n";
    const std::string entry =
        "<entry><id>tag:youtube.com,2008:video:AbCdEfGhIjK</id><title>Caf\xC3\xA9 training &amp; tricks "
        "\xE2\x80\x94 part 1</title><yt:videoid>AbCdEfGhIjK</yt:videoid></entry>\n";
    while (feed.size() + entry.size() + 8 < kFeedSize) feed += entry;
    feed.append(kFeedSize - 8 - feed.size(), ' ');
    return feed + "</feed>\n";
}

// The simulator serving the feed as a file, on a free loopback port.
class Loopback {
public:
    Loopback() : folder_("fetch") {
        if (!qen::WriteWholeFile(qen::Path(folder_.File("feed.xml")), MakeFeed()))
            throw std::runtime_error("cannot write the feed");
        qen::feedsim::Options options;
        options.port = 0;
        options.filesFolder = qen::Path(folder_.Path());
        server_ = std::make_unique<qen::feedsim::Server>(options);
        if (!server_->Start()) throw std::runtime_error("no loopback port");
    }
    std::string Url() const { return server_->Address() + "/feed.xml"; }

private:
    qen::bench::TempFolder folder_;
    std::unique_ptr<qen::feedsim::Server> server_;
};

// Seconds for the twenty fetches; a negative value when one of them came back short.
template <typename Fetch>
double SecondsFor(Fetch fetch) {
    const auto start = Clock::now();
    for (int i = 0; i < kFetches; ++i) {
        std::string body = fetch();
        if (body.size() < kFeedSize / 2) return -1;
        benchmark::DoNotOptimize(body);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_TwentyLoopbackFetches(benchmark::State& state) {
    Loopback loopback;
    const std::string url = loopback.Url();
    qen::HeadlessUi ui;
    qen::DownloadFetcher fetcher(ui, std::make_shared<qen::CurlTransport>());
    std::string report;  // the message of the last fetch that failed
    auto keep = [&](qen::FetchedText fetched) {
        if (!fetched.report) report = fetched.report.Message();
        return std::move(fetched.text);
    };
    auto raw = [&] { return keep(fetcher.FetchArticlePage(url)); };
    auto feedText = [&] { return keep(fetcher.FetchFeedText(qen::FetchChannel::Videos, url)); };
    BareCurlClient client;
    auto bare = [&] { return BareCurlFetch(url); };
    auto bareKept = [&] { return client.Fetch(url); };

    // The first fetches pay for starting up (server threads, library caches): not measured.
    for (int i = 0; i < 3; ++i) raw(), feedText(), bare(), bareKept();

    double rawSeconds = 0, feedSeconds = 0, bareSeconds = 0, bareKeptSeconds = 0;
    bool bareFirst = false;
    for (auto _ : state) {
        // Alternate the order so that neither side always runs on a warmed-up machine.
        double seconds[4] = {};
        if (bareFirst) seconds[3] = SecondsFor(bare);
        seconds[0] = SecondsFor(raw);
        seconds[1] = SecondsFor(feedText);
        seconds[2] = SecondsFor(bareKept);
        if (!bareFirst) seconds[3] = SecondsFor(bare);
        bareFirst = !bareFirst;
        if (*std::min_element(seconds, seconds + 4) < 0) {
            state.SkipWithError(!report.empty() ? report.c_str() : "a fetch came back short");
            break;
        }
        rawSeconds += seconds[0];
        feedSeconds += seconds[1];
        bareKeptSeconds += seconds[2];
        bareSeconds += seconds[3];
        state.SetIterationTime(seconds[0]);
    }
    if (bareSeconds == 0) return;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFetches * kFeedSize));
    // Raw bytes, the same work as the bare loop: the cost of handing over, buffer and wait.
    state.counters["ratio"] = rawSeconds / bareSeconds;
    // As callers of feeds get them, converted from UTF-8.
    state.counters["ratio_feed_text"] = feedSeconds / bareSeconds;
    state.counters["ratio_to_kept_connection"] = rawSeconds / bareKeptSeconds;
    state.counters["bare_ms_per_20"] = 1000 * bareSeconds / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TwentyLoopbackFetches)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
