// Start-up cost of a content package: opening it (the program file is read and searched
// first, then the package), reading its branding (which deciphers the data), and
// unpacking the site into a work folder. Packages are made with the packaging tool's writer:
// a demo-sized one (12 files, about 100 KB) and the largest layout (100 files, about 3 MB).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BenchFixtures.h"
#include "package/BlockCipher.h"
#include "package/ContentSite.h"
#include "package/PackageSecrets.h"
#include "package/OpenPackage.h"
#include "qenpack/PackageBlockWriter.h"
#include "text/TextOps.h"
#include "platform/headless/Headless.h"

namespace {

using SilentUi = qen::HeadlessUi;
using qen::bench::TempFolder;

// About the size of a stripped release build of the runtime.
constexpr std::size_t kProgramBytes = 1 << 20;

// Image-like bytes: a format signature, then noise (photos do not compress or repeat).
std::string Picture(std::size_t size, std::uint32_t seed, bool jpeg) {
    std::string bytes = jpeg ? std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10) : std::string("\x89PNG\r\n\x1a\n", 8);
    std::mt19937 random(seed);
    while (bytes.size() < size) bytes.push_back(static_cast<char>(random()));
    return bytes;
}

// Markup padded to about `size` bytes with paragraphs that each carry an outside link,
// so the site builder's substitutions have work to do on every page.
std::string Page(std::size_t size, int number, bool isTemplate) {
    std::string page =
        "<html><head><title>%%pagetitle%%</title><link rel=\"stylesheet\" href=\"style.css\">"
        "<script src=\"banners.js\"></script></head>\r\n<body><div id=\"header\"><img src=\"header.jpg\">"
        "<h1>TWX_REPLACE_EBOOKNAME - %%SiteNiche%%</h1></div>\r\n<div id=\"menu\"><a href=\"videos1.html\">Videos</a>"
        "<BR><a href=\"articles.html\">Articles</a><BR><a href=\"\">UserLink</a><BR></div>\r\n";
    if (isTemplate) page += "<div id=\"top\">%%toplefttext%% | %%toprighttext%%</div><div id=\"posts\">%%videoposts%%</div>\r\n";
    const std::string tail =
        isTemplate ? "%%previousnext%%<div id=\"footer\"><a href=\"%%footerlink%%\" target=_blank>%%footertext%%</a>"
                     "</div></body></html>\r\n"
                   : "<div id=\"footer\"><a href=\"%%footerlink%%\" target=_blank>%%footertext%%</a></div></body></html>\r\n";
    for (int n = 1; page.size() + tail.size() < size; ++n) {
        page += "<p class=\"tip\">Tip " + std::to_string(number) + "." + std::to_string(n) +
                ": reward the behaviour you want within two seconds, keep sessions short and always end "
                "on a success. <a href=\"http://www.example.com/academy/tips/" +
                std::to_string(n) + "\" target=_blank>Read more</a></p>\r\n";
    }
    return page + tail;
}

std::string StyleSheet(std::size_t size) {
    std::string css = "body { background: url(bg.png); font-family: Verdana, sans-serif; }\r\n";
    for (int n = 1; css.size() < size; ++n)
        css += ".tip" + std::to_string(n) + " { margin: 4px 0 8px 0; padding: 2px; color: #334455; }\r\n";
    return css;
}

const char* const kBannersScript =
    "var TopBannerUrls = new Array ();\nvar TopBannerLinks = new Array ();\n"
    "var SideBannerUrls = new Array ();\nvar SideBannerLinks = new Array ();\nvar MaxSideBanners = 5;\n"
    "function ShowBanners() {\n  var n = Math.floor(Math.random() * TopBannerUrls.length);\n"
    "  document.write('<a href=\"' + TopBannerLinks[n] + '\"><img src=\"' + TopBannerUrls[n] + '\"></a>');\n"
    "  for (var i = 0; i < SideBannerUrls.length && i < MaxSideBanners; ++i)\n"
    "    document.write('<a href=\"' + SideBannerLinks[i] + '\"><img src=\"' + SideBannerUrls[i] + '\"></a><BR>');\n"
    "}\n";

qen::PackageDescription Description() {
    qen::PackageDescription site;
    site.title = "Dog Training Academy";
    site.settingsName = "DogTrainingAcademy";
    site.footerName = "Dog Training Academy";
    site.footerLink = "http://www.example.com/academy";
    site.maxSideBanners = 3;
    site.branding.topBanners = {
        {"https://www.example.com/banners/academy-top-728x90.jpg", "http://www.example.com/academy/enrol"},
        {"https://www.example.com/banners/puppy-school-728x90.jpg", "http://www.example.com/academy/puppy-school"}};
    site.branding.sideBanners = {
        {"https://www.example.com/banners/clicker-kit-160x120.jpg", "http://www.example.com/shop/clicker-kit"},
        {"https://www.example.com/banners/treat-pouch-160x120.jpg", "http://www.example.com/shop/treat-pouch"},
        {"https://www.example.com/banners/recall-course-160x120.jpg", "http://www.example.com/academy/recall-course"},
        {"https://www.example.com/banners/agility-day-160x120.jpg", "http://www.example.com/events/agility-day"}};
    site.branding.menuTextLinks = {{"Puppy School Classes", "http://www.example.com/academy/puppy-school"},
                                   {"Loose-Lead Walking Course", "http://www.example.com/academy/loose-lead"},
                                   {"Ask a Trainer", "http://www.example.com/academy/ask"}};
    site.members = {
        {"SiteNiche.txt", "dog training - cat - wolf\r\nhttp://www.example.com/articles/Pets:Dogs\r\n"},
        {"banners.js", kBannersScript},
        {"bg.png", Picture(686, 1, false)},
        {"header.jpg", Picture(5'303, 2, true)},
        {"help.html", Page(6'018, 0, false)},
        {"logo.png", Picture(6'329, 3, false)},
        {"style.css", StyleSheet(14'642)},
        {"template.html", Page(14'169, 0, true)},
    };
    return site;
}

// The demo site's make-up: 12 files, about 100 KB.
qen::PackageDescription DemoSite() {
    qen::PackageDescription site = Description();
    site.members.push_back({"banner-side1.jpg", Picture(9'727, 4, true)});
    site.members.push_back({"banner-side2.jpg", Picture(6'955, 5, true)});
    site.members.push_back({"banner-top1.jpg", Picture(14'388, 6, true)});
    site.members.push_back({"banner-top2.jpg", Picture(13'482, 7, true)});
    return site;
}

// As many files as a package holds: 46 pages of about 20 KB and 46 photos of about 45 KB,
// about 3 MB in all.
qen::PackageDescription LargeSite() {
    qen::PackageDescription site = Description();
    for (int n = 1; site.members.size() < 100; ++n) {
        std::string number = n < 10 ? "0" : "";
        number += std::to_string(n);
        site.members.push_back({"article" + number + ".html", Page(20'000, n, false)});
        if (site.members.size() < 100)
            site.members.push_back({"photo" + number + ".jpg", Picture(45'000, 100u + n, true)});
    }
    return site;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

// A package on disk beside a program file, and one branded into a copy of the program.
struct PackageFiles {
    explicit PackageFiles(const qen::PackageDescription& description) : folder("package") {
        std::string error;
        std::optional<std::string> made = qen::MakePackageBlock(description, error);
        if (!made) {
            fault = "MakePackageBlock: " + error;
            return;
        }
        block = std::move(*made);
        for (const auto& member : description.members) dataBytes += member.data.size();
        const std::string program = Picture(kProgramBytes, 99, false);
        programPath = folder.File("QenRuntime");
        packagePath = folder.File("site.qen");
        brandedPath = folder.File("Branded");
        if (!WriteBytes(programPath, program) || !WriteBytes(packagePath, block) ||
            !WriteBytes(brandedPath, program + block))
            fault = "cannot write the package files";
    }

    TempFolder folder;
    std::string fault;
    std::string block;
    std::size_t dataBytes = 0;
    std::string programPath, packagePath, brandedPath;
};

const PackageFiles& Files(bool large) {
    static const PackageFiles demo(DemoSite());
    static const PackageFiles big(LargeSite());
    return large ? big : demo;
}

// What an opened package and its site keep in memory for the whole run.
std::size_t HeldBytes(const qen::ContentPackage& package, const qen::ContentSite& site = {}) {
    std::size_t bytes = package.Image.capacity() + site.PageTemplate.capacity() + package.MenuTextLinks.capacity() +
                        package.TopBannerUrls.capacity() + package.TopBannerLinks.capacity() +
                        package.SideBannerUrls.capacity() + package.SideBannerLinks.capacity();
    for (const qen::Path& path : site.CreatedFiles) bytes += path.Bytes().capacity();
    return bytes;
}

// A package opened and checked, ready for ReadBranding.
bool OpenSite(const PackageFiles& files, qen::ContentPackage& package, bool branded) {
    SilentUi ui;
    qen::DefaultSettings settings;
    qen::Path userDataPath;
    return branded ? qen::OpenPackage(ui, settings, qen::Path(files.brandedPath), qen::Path(), package, userDataPath)
                   : qen::OpenPackage(ui, settings, qen::Path(files.programPath), qen::Path(files.packagePath),
                                      package, userDataPath);
}

void BM_OpenPackage(benchmark::State& state, bool large, bool branded) {
    const PackageFiles& files = Files(large);
    if (!files.fault.empty()) return state.SkipWithError(files.fault.c_str());
    std::size_t held = 0;
    for (auto _ : state) {
        qen::ContentPackage package;
        if (!OpenSite(files, package, branded)) return state.SkipWithError("the package did not open");
        held = HeldBytes(package);
        benchmark::DoNotOptimize(package.BlockStart);
    }
    // The program is read whole and searched either way; the package is in it or beside it.
    const std::size_t read = kProgramBytes + files.block.size();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * read));
    state.counters["held_bytes"] = static_cast<double>(held);
}
BENCHMARK_CAPTURE(BM_OpenPackage, demo, false, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OpenPackage, large, true, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OpenPackage, demo_branded, false, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OpenPackage, large_branded, true, true)->Unit(benchmark::kMicrosecond);

// Branding lists, cipher key set-up and deciphering of the whole data area.
void BM_ReadBranding(benchmark::State& state, bool large) {
    const PackageFiles& files = Files(large);
    if (!files.fault.empty()) return state.SkipWithError(files.fault.c_str());
    qen::ContentPackage opened;
    if (!OpenSite(files, opened, false)) return state.SkipWithError("the package did not open");
    std::optional<qen::ContentPackage> package;
    for (auto _ : state) {
        state.PauseTiming();
        package.reset();
        package.emplace(opened);  // deciphering works in place, so every round gets a fresh copy
        state.ResumeTiming();
        if (const qen::Outcome read = package->ReadBranding(); !read) return state.SkipWithError(read.Message().c_str());
        benchmark::DoNotOptimize(package->MenuTextLinks.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.dataBytes));
}
BENCHMARK_CAPTURE(BM_ReadBranding, demo, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ReadBranding, large, true)->Unit(benchmark::kMicrosecond);

// Unpacking every member into an empty work folder, with the site substitutions and the help page.
void BM_BuildSite(benchmark::State& state, bool large) {
    const PackageFiles& files = Files(large);
    if (!files.fault.empty()) return state.SkipWithError(files.fault.c_str());
    qen::ContentPackage package;
    if (!OpenSite(files, package, false) || !package.ReadBranding())
        return state.SkipWithError("the package did not open");
    TempFolder work("work");
    std::optional<qen::ContentSite> site;
    std::size_t held = 0;
    std::size_t created = 0;
    for (auto _ : state) {
        state.PauseTiming();
        work.Clear();
        site.emplace();  // the niche's exclusion words add up on a reused site
        state.ResumeTiming();
        if (const qen::Outcome built = site->BuildSite(package, qen::Path(work.Path())); !built)
            return state.SkipWithError(built.Message().c_str());
        held = HeldBytes(package, *site);
        created = site->CreatedFiles.size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.dataBytes));
    state.counters["held_bytes"] = static_cast<double>(held);
    state.counters["files"] = static_cast<double>(created);
}
BENCHMARK_CAPTURE(BM_BuildSite, demo, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BuildSite, large, true)->Unit(benchmark::kMillisecond);

// The whole start-up path as the user waits for it.
void BM_OpenReadAndBuild(benchmark::State& state, bool large) {
    const PackageFiles& files = Files(large);
    if (!files.fault.empty()) return state.SkipWithError(files.fault.c_str());
    TempFolder work("work");
    for (auto _ : state) {
        state.PauseTiming();
        work.Clear();
        state.ResumeTiming();
        qen::ContentPackage package;
        qen::ContentSite site;
        if (!OpenSite(files, package, false) || !package.ReadBranding() ||
            !site.BuildSite(package, qen::Path(work.Path())))
            return state.SkipWithError("the site was not built");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.dataBytes));
}
BENCHMARK_CAPTURE(BM_OpenReadAndBuild, demo, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenReadAndBuild, large, true)->Unit(benchmark::kMillisecond);

// Dropping "target=_blank" from a page, as the site builder does for every text member.
// Each removal moves the rest of the page, so the time grows with the page size times the
// number of links; the argument is the page size in KB (a paragraph with one link per 230 bytes).
void BM_RemoveLinkTargets(benchmark::State& state) {
    const std::string page = Page(static_cast<std::size_t>(state.range(0)) * 1000, 1, false);
    for (auto _ : state) benchmark::DoNotOptimize(qen::ReplaceAll(page, "target=_blank", ""));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RemoveLinkTargets)->Arg(20)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();

// The cipher alone on 4 MB, deciphered in place as the branding reader does.
void BM_BlowfishDecrypt(benchmark::State& state) {
    std::string data = Picture(4 << 20, 7, false);
    qen::BlowfishCipher cipher(qen::PackageCipherKey());
    auto* bytes = reinterpret_cast<std::uint8_t*>(data.data());
    for (auto _ : state) {
        cipher.Decrypt(bytes, data.size(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_BlowfishDecrypt)->Unit(benchmark::kMillisecond);

// Key set-up runs once per package opened.
void BM_BlowfishKeySetup(benchmark::State& state) {
    const std::string key = qen::PackageCipherKey();
    for (auto _ : state) {
        qen::BlowfishCipher cipher(key);
        benchmark::DoNotOptimize(&cipher);
    }
}
BENCHMARK(BM_BlowfishKeySetup)->Unit(benchmark::kMicrosecond);

}  // namespace
