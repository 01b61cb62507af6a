// A whole keyword run as the "Get Latest Videos" dialog makes it: twenty batches of 50 from
// the loopback simulator through the program's fetcher (its worker thread and kept
// connection, shared buffer, the conversion of the text) and the feed client that reads
// the entries and fills the store. Against it, in the same run, a bare libcurl loop
// fetching the same twenty answers: the time the server itself needs to produce and send
// them. The counter "ratio" is the run's time over the bare loop's (the goal is at most
// 1.1). That loop opens a new connection for every batch, as the program once did;
// "ratio_to_kept_connection" compares with one that keeps its connection, as the program
// now does, so that only the program's own work (handing over, the buffer, reading the
// entries: see "fetch_share") makes the difference.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "BareCurl.h"
#include "KeywordRun.h"
#include "feedsim/FeedSimServer.h"
#include "videos/VideoFeedClient.h"

namespace {

using Clock = std::chrono::steady_clock;
using qen::bench::BareCurlFetch;
using qen::bench::BareCurlClient;

constexpr const char* kTerm = "dog-training";  // the query term of the niche
using qen::bench::kBatches;
using qen::bench::KeywordRun;

class Loopback {
public:
    Loopback() {
        qen::feedsim::Options options;
        options.port = 0;
        server_ = std::make_unique<qen::feedsim::Server>(options);
        if (!server_->Start()) throw std::runtime_error("no loopback port");
    }
    std::string Host() const { return server_->Host(); }

private:
    std::unique_ptr<qen::feedsim::Server> server_;
};

// The run's twenty addresses, in the order the run asks for them.
std::vector<std::string> BatchAddresses(const std::string& host) {
    std::vector<std::string> urls;
    for (int batch = 0; batch < kBatches; ++batch)
        urls.push_back(qen::KeywordQueryAddress(host, kTerm, 1 + batch * qen::VideoFeedClient::kBatchSize, 0));
    return urls;
}

// Seconds for the bare loop; negative when an answer was no feed.
template <typename Fetch>
double BareLoopSeconds(const std::vector<std::string>& urls, Fetch fetch) {
    const auto start = Clock::now();
    for (const std::string& url : urls) {
        std::string body = fetch(url);
        if (body.find("<?xml") == std::string::npos) return -1;
        benchmark::DoNotOptimize(body);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_KeywordRunOverLoopback(benchmark::State& state) {
    Loopback loopback;
    const std::vector<std::string> urls = BatchAddresses(loopback.Host());
    KeywordRun run(loopback.Host());

    BareCurlClient client;
    auto bare = [&] { return BareLoopSeconds(urls, BareCurlFetch); };
    auto bareKept = [&] { return BareLoopSeconds(urls, [&](const std::string& url) { return client.Fetch(url); }); };

    // The first rounds pay for starting up (server threads, library caches): not measured.
    for (int i = 0; i < 2; ++i) run.Seconds(), bare(), bareKept();

    double runSeconds = 0, bareSeconds = 0, bareKeptSeconds = 0;
    const double fetchSecondsBefore = run.FetchSeconds();
    bool bareFirst = false;
    for (auto _ : state) {
        // Alternate the order so that neither side always runs on a warmed-up machine.
        double seconds[3] = {};
        if (bareFirst) seconds[1] = bare();
        seconds[0] = run.Seconds();
        seconds[2] = bareKept();
        if (!bareFirst) seconds[1] = bare();
        bareFirst = !bareFirst;
        if (seconds[0] < 0 || seconds[1] < 0 || seconds[2] < 0) {
            state.SkipWithError(!run.Report().empty() ? run.Report().c_str() : "a batch brought no feed");
            break;
        }
        runSeconds += seconds[0];
        bareSeconds += seconds[1];
        bareKeptSeconds += seconds[2];
        state.SetIterationTime(seconds[0]);
    }
    if (bareSeconds == 0) return;
    state.counters["ratio"] = runSeconds / bareSeconds;
    state.counters["ratio_to_kept_connection"] = runSeconds / bareKeptSeconds;
    // The part of the run spent in the fetcher (transfer and conversion), the rest reading entries.
    state.counters["fetch_share"] = (run.FetchSeconds() - fetchSecondsBefore) / runSeconds;
    state.counters["videos_found"] = run.Found();
    state.counters["bare_ms_per_20"] = 1000 * bareSeconds / static_cast<double>(state.iterations());
}
BENCHMARK(BM_KeywordRunOverLoopback)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
