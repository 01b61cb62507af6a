// Converting a feed-sized download (the download buffer holds about 4 MB) from UTF-8 to
// cp1252 with references, beside glibc's iconv converting the same text to WINDOWS-1252
// with transliteration. Goal: speedup at least 5.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

#include "SideBySide.h"
#include "text/TextEncoding.h"

namespace {

using qen::bench::Clock;
using qen::bench::SideBySide;

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

// glibc's converter, opened once; every call starts from its initial state.
class Iconv {
public:
    Iconv() : converter_(iconv_open("WINDOWS-1252//TRANSLIT", "UTF-8")) {}
    ~Iconv() {
        if (Available()) iconv_close(converter_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool Available() const { return converter_ != reinterpret_cast<iconv_t>(-1); }

    bool Convert(const std::string& text, std::string& out) const {
        iconv(converter_, nullptr, nullptr, nullptr, nullptr);
        out.resize(text.size());  // never longer: one byte or a "?" for each character
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* at = out.data();
        std::size_t outLeft = out.size();
        if (iconv(converter_, &in, &inLeft, &at, &outLeft) == static_cast<std::size_t>(-1)) return false;
        out.resize(out.size() - outLeft);
        return true;
    }

private:
    iconv_t converter_;
};

// `convert` beside iconv over the same text; each side makes its own output.
template <typename Convert>
void BesideIconv(benchmark::State& state, Convert convert) {
    const std::string& feed = Feed();
    const Iconv iconv;
    if (!iconv.Available()) return state.SkipWithError("iconv has no WINDOWS-1252");
    SideBySide sides(state, Clock::ThreadCpu);
    for (auto _ : state) {
        const bool ok = sides.Round({[&] {
                                        benchmark::DoNotOptimize(convert(feed));
                                        return true;
                                    }},
                                    {[&] {
                                        std::string out;
                                        const bool done = iconv.Convert(feed, out);
                                        benchmark::DoNotOptimize(out.data());
                                        return done;
                                    }});
        if (!ok) return state.SkipWithError("iconv could not convert the text");
    }
    sides.Report();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * feed.size()));
}

// A download declared as UTF-8, as every feed is read.
void BM_DownloadedTextToCp1252(benchmark::State& state) {
    BesideIconv(state, [](const std::string& text) { return qen::DecodeDownloadedText(text); });
}
BENCHMARK(BM_DownloadedTextToCp1252)->UseManualTime()->Unit(benchmark::kMillisecond);

// Text from the toolkit (what a user typed), with "&" kept as it is.
void BM_ToolkitTextToCp1252(benchmark::State& state) {
    BesideIconv(state, [](const std::string& text) { return qen::Utf8ToSystemText(text, qen::Ampersands::Keep); });
}
BENCHMARK(BM_ToolkitTextToCp1252)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
