// Conversion speed on a feed-sized download (the download buffer holds up to about 4 MB).
#include <benchmark/benchmark.h>

#include <string>

#include "text/TextEncoding.h"

namespace {

std::string MakeFeed(std::size_t targetSize) {
    const std::string head = "<?xml version='1.0' encoding='UTF-8'?><feed xmlns='http://www.w3.org/2005/Atom'>";
    // Mostly ASCII markup with accented letters, a euro sign and an emoji, as in real titles.
    const std::string entry =
        "<entry><id>http://gdata.example.com/feeds/api/videos/AbCdEfGh123</id>"
        "<title type='text'>Caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e \xE2\x82\xAC" "5 \xF0\x9F\x98\x80</title>"
        "<content type='text'>Na\xC3\xAFve r\xC3\xA9sum\xC3\xA9 \xE2\x80\x94 \xC3\xBF tips &amp; tricks</content>"
        "<yt:statistics viewCount='123456'/></entry>\n";
    std::string feed = head;
    feed.reserve(targetSize + entry.size());
    while (feed.size() + entry.size() < targetSize) feed += entry;
    feed += "</feed>";
    return feed;
}

const std::string& Feed() {
    static const std::string feed = MakeFeed(4'000'000);
    return feed;
}

void BM_Utf8ToAnsiWithReferences(benchmark::State& state) {
    const std::string& feed = Feed();
    for (auto _ : state) benchmark::DoNotOptimize(qen::Utf8ToAnsiWithReferences(feed));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * feed.size()));
}
BENCHMARK(BM_Utf8ToAnsiWithReferences)->Unit(benchmark::kMillisecond);

void BM_DecodeDownloadedText_Utf8(benchmark::State& state) {
    const std::string& feed = Feed();
    for (auto _ : state) benchmark::DoNotOptimize(qen::DecodeDownloadedText(feed));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * feed.size()));
}
BENCHMARK(BM_DecodeDownloadedText_Utf8)->Unit(benchmark::kMillisecond);

void BM_DecodeDownloadedText_Copy(benchmark::State& state) {
    // No declaration: the data is copied unchanged.
    const std::string feed = Feed().substr(1);
    for (auto _ : state) benchmark::DoNotOptimize(qen::DecodeDownloadedText(feed));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * feed.size()));
}
BENCHMARK(BM_DecodeDownloadedText_Copy)->Unit(benchmark::kMillisecond);

}  // namespace
