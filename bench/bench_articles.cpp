// Formatting and sanitising hostile article texts of 1 MB and 4 MB (the download buffer
// holds 4 MB). Each benchmark times both sizes in the same run and reports
// growth_4x = time(4 MB) / time(1 MB): about 4 for linear work, 16 for quadratic
// (somewhat above 4 where 1 MB still fits the processor's cache and 4 MB does not).
#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "articles/ArticleFormatter.h"
#include "articles/ArticleSanitiser.h"

namespace {

constexpr std::size_t kMegabyte = 1 << 20;
constexpr const char* kLaunch = "http://launch.qenruntime.invalid/";

// A title line, then `unit` repeated to `size` bytes, then `tail`.
std::string Repeat(const std::string& unit, std::size_t size, const std::string& tail = "") {
    std::string text = "Title\r\n";
    text.reserve(size + tail.size());
    while (text.size() + unit.size() <= size) text += unit;
    return text + tail;
}

using MakeText = std::function<std::string(std::size_t size)>;
using Work = std::function<std::size_t(const std::string& text)>;

std::size_t Format(const std::string& text) {
    return qen::FormatArticleHtml(text, "4242", false).body.size();
}

std::size_t FormatAndSanitise(const std::string& text) {
    return qen::SanitizeArticleHtml(qen::FormatArticleHtml(text, "4242", false).body, "4242", kLaunch).size();
}

std::size_t Sanitise(const std::string& text) {
    return qen::SanitizeArticleHtml(text, "4242", kLaunch).size();
}

// Processor time of this process: the machine's other load does not count.
double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// glibc hands blocks above a threshold straight back to the system and raises the
// threshold to the largest such block freed so far. Left alone, the 1 MB runs reuse
// memory that the 4 MB runs fault in afresh on every call, which adds a step to the ratio
// that has nothing to do with the work measured. One large block freed first puts both
// sizes in the same steady state.
void SettleAllocator() {
    static const bool settled = [] {
        std::vector<char> block(31u << 20, 1);
        benchmark::DoNotOptimize(block.data());
        return true;
    }();
    (void)settled;
}

// Each iteration times the 1 MB text, the baseline, and then the 4 MB text.
void Growth(benchmark::State& state, const MakeText& make, const Work& work) {
    SettleAllocator();
    const std::string small = make(kMegabyte);
    const std::string large = make(4 * kMegabyte);
    double smallTime = 0, largeTime = 0;
    for (auto _ : state) {
        const double start = CpuSeconds();
        benchmark::DoNotOptimize(work(small));
        const double middle = CpuSeconds();
        benchmark::DoNotOptimize(work(large));
        smallTime += middle - start;
        largeTime += CpuSeconds() - middle;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["ms_1MB"] = 1000 * smallTime / iterations;
    state.counters["ms_4MB"] = 1000 * largeTime / iterations;
    state.counters["growth_4x"] = largeTime / smallTime;
}

#define QEN_GROWTH(name, make, work) \
    BENCHMARK_CAPTURE(Growth, name, make, work)->Unit(benchmark::kMillisecond)

// Formatter: brackets, line breaks and addresses in their worst arrangements.
QEN_GROWTH(bracket_notes, [](std::size_t n) { return Repeat("[note]", n); }, Format);
QEN_GROWTH(bracket_links, [](std::size_t n) { return Repeat("[http://a.example/p]Click here\r\n", n); }, Format);
QEN_GROWTH(unclosed_brackets, [](std::size_t n) { return Repeat("[", n, "]"); }, Format);
// Each link's address runs into the next pass: the passes reach back into earlier links.
QEN_GROWTH(nested_addresses,
           [](std::size_t n) { return Repeat("[http://", n / 2) + std::string(n / 32, ']') + "x\r\n"; }, Format);
QEN_GROWTH(line_feeds, [](std::size_t n) { return Repeat("\n", n); }, Format);
QEN_GROWTH(short_lines, [](std::size_t n) { return Repeat("word\n", n); }, Format);
QEN_GROWTH(blank_lines, [](std::size_t n) { return Repeat("\r\n \r\n", n); }, Format);
QEN_GROWTH(bare_addresses, [](std::size_t n) { return Repeat("http://a.example ", n); }, Format);
QEN_GROWTH(addresses_in_tags, [](std::size_t n) { return Repeat("<http://", n); }, Format);

// Sanitiser: markup in the arrangements that make parsers slow.
QEN_GROWTH(nested_divs, [](std::size_t n) { return Repeat("<div>", n); }, FormatAndSanitise);
QEN_GROWTH(links, [](std::size_t n) { return Repeat("<a href='http://a.example/'>x</a> ", n); }, Sanitise);
QEN_GROWTH(unquoted_values, [](std::size_t n) { return Repeat("<a x=", n); }, Sanitise);
QEN_GROWTH(open_quotes, [](std::size_t n) { return Repeat("<a x=\"<b y='", n); }, Sanitise);
QEN_GROWTH(many_attributes, [](std::size_t n) {
    std::string tag = "<a";
    for (int k = 0; k < 2000; ++k) tag += " a" + std::to_string(k);
    return Repeat(tag + ">", n);
}, Sanitise);
QEN_GROWTH(refused_tags, [](std::size_t n) { return Repeat("<script>x</script><!-- c -->", n); }, Sanitise);

}  // namespace
