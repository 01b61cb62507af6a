// The package's share of start-up, each part beside the best a program could do instead
// with the same bytes: deciphering the data region against OpenSSL's Blowfish, and
// building the site against writing the same files plainly. Packages are made with the
// packaging tool's writer: the demo's make-up (12 files, about 100 KB) and the largest
// (100 files, 10 MB).
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BenchFixtures.h"
#include "SideBySide.h"
#include "files/FileIO.h"
#include "package/BlockCipher.h"
#include "package/ContentSite.h"
#include "app/OpenPackage.h"
#include "app/PackageWork.h"
#include "package/PackageSecrets.h"
#include "platform/headless/Headless.h"
#include "qenpack/PackageBlockWriter.h"

namespace {

using qen::bench::Clock;
using qen::bench::Side;
using qen::bench::SideBySide;
using qen::bench::TempFolder;
using qen::bench::WritePlainFile;

constexpr std::size_t kMegabyte = 1 << 20;
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

// As many files as a package holds, 10 MB in all: 46 pages of 25 KB, the rest photos.
qen::PackageDescription LargeSite() {
    qen::PackageDescription site = Description();
    std::size_t used = 0;
    for (const auto& member : site.members) used += member.data.size();
    constexpr int kPages = 46;
    const std::size_t photoBytes = (10 * kMegabyte - used - kPages * 25'000) / (100 - site.members.size() - kPages);
    for (int n = 1; site.members.size() < 100; ++n) {
        const std::string number = (n < 10 ? "0" : "") + std::to_string(n);
        if (n <= kPages) site.members.push_back({"article" + number + ".html", Page(25'000, n, false)});
        if (site.members.size() < 100)
            site.members.push_back({"photo" + number + ".jpg", Picture(photoBytes, 100u + n, true)});
    }
    return site;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

// A package on disk beside a program file.
struct PackageFiles {
    explicit PackageFiles(const qen::PackageDescription& description) : folder("package") {
        std::string error;
        std::optional<std::string> made = qen::MakePackageBlock(description, error);
        if (!made) {
            fault = "MakePackageBlock: " + error;
            return;
        }
        block = std::move(*made);
        programPath = folder.File("QenRuntime");
        packagePath = folder.File("site.qen");
        if (!WriteBytes(programPath, Picture(kProgramBytes, 99, false)) || !WriteBytes(packagePath, block))
            fault = "cannot write the package files";
    }

    TempFolder folder;
    std::string fault;
    std::string block;
    std::string programPath, packagePath;
};

const PackageFiles& Files(bool large) {
    static const PackageFiles demo(DemoSite());
    static const PackageFiles big(LargeSite());
    return large ? big : demo;
}

// A package opened and checked, as start-up has it before the branding is read.
bool OpenSite(const PackageFiles& files, qen::ContentPackage& package) {
    qen::HeadlessUi ui;
    qen::DefaultSettings settings;
    qen::Path userDataPath;
    return qen::OpenPackage(ui, settings, qen::Path(files.programPath), qen::Path(files.packagePath), package,
                            userDataPath);
}

bool PackageToSite(const PackageFiles& files, const TempFolder& work) {
    qen::HeadlessUi ui;
    qen::DefaultSettings settings;
    qen::ContentPackage package;
    qen::ContentSite site;
    const std::optional<qen::PackageSource> source =
        qen::LocatePackage(ui, settings, qen::Path(files.programPath), qen::Path(files.packagePath), package);
    if (!source) return false;
    qen::PackageWork steps;
    steps.Start(*source, package, site);
    steps.BuildSite(qen::Path(work.Path()));
    return steps.Wait(qen::PackageWork::Step::Built).Ok();
}

struct NamedBytes {
    std::string name, bytes;
};

// Every file in `folder`, as the baseline writes them again.
std::vector<NamedBytes> FilesIn(const TempFolder& folder) {
    std::vector<NamedBytes> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        std::optional<std::string> bytes = qen::ReadFileBytes(qen::Path(entry.path().string()));
        files.push_back({entry.path().filename().string(), bytes.value_or("")});
    }
    return files;
}

// OpenSSL's Blowfish in ECB mode, from the legacy provider where OpenSSL 3 keeps it.
class OpenSslBlowfish {
public:
    explicit OpenSslBlowfish(const std::string& key) : key_(key.substr(0, 16)) {
        // Loaded for the rest of the process: the digests of the package code need the
        // default provider, which an explicit load of another one no longer brings in.
        static const bool loaded =
            OSSL_PROVIDER_load(nullptr, "legacy") != nullptr && OSSL_PROVIDER_load(nullptr, "default") != nullptr;
        if (loaded) cipher_ = EVP_CIPHER_fetch(nullptr, "BF-ECB", nullptr);
    }
    ~OpenSslBlowfish() { EVP_CIPHER_free(cipher_); }
    OpenSslBlowfish(const OpenSslBlowfish&) = delete;
    OpenSslBlowfish& operator=(const OpenSslBlowfish&) = delete;

    bool Available() const { return cipher_ != nullptr; }

    // Deciphers in place, the key set up first, as each run of the runtime does.
    bool Decrypt(std::uint8_t* data, std::size_t count) const {
        EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
        int written = 0;
        const auto* key = reinterpret_cast<const unsigned char*>(key_.data());
        const bool ok = context && EVP_DecryptInit_ex2(context, cipher_, key, nullptr, nullptr) == 1 &&
                        EVP_CIPHER_CTX_set_padding(context, 0) == 1 &&
                        EVP_DecryptUpdate(context, data, &written, data, static_cast<int>(count)) == 1 &&
                        static_cast<std::size_t>(written) == count;
        EVP_CIPHER_CTX_free(context);
        return ok;
    }

private:
    std::string key_;
    EVP_CIPHER* cipher_ = nullptr;
};

// Deciphering a 10 MB data region in place, key set-up included, against OpenSSL's
// Blowfish ECB over the same bytes. Goal: speedup at least 1.
void BM_DecipherDataRegion(benchmark::State& state) {
    const std::string key = qen::PackageCipherKey();
    const OpenSslBlowfish openssl(key);
    if (!openssl.Available()) return state.SkipWithError("OpenSSL's legacy provider has no BF-ECB");
    // Each side works on its own copy, in place, as the runtime does on the package image.
    std::string ours = Picture(10 * kMegabyte, 7, false), theirs = ours;
    auto* oursBytes = reinterpret_cast<std::uint8_t*>(ours.data());
    auto* theirBytes = reinterpret_cast<std::uint8_t*>(theirs.data());
    SideBySide sides(state, Clock::ThreadCpu);
    for (auto _ : state) {
        const bool ok = sides.Round({[&] {
                                        qen::BlowfishCipher cipher(key);
                                        cipher.Decrypt(oursBytes, ours.size(), oursBytes);
                                        benchmark::ClobberMemory();
                                        return true;
                                    }},
                                    {[&] {
                                        const bool done = openssl.Decrypt(theirBytes, theirs.size());
                                        benchmark::ClobberMemory();
                                        return done;
                                    }});
        if (!ok) return state.SkipWithError("OpenSSL could not decipher");
    }
    sides.Report();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ours.size()));
}
BENCHMARK(BM_DecipherDataRegion)->UseManualTime()->Unit(benchmark::kMillisecond);

// Building the site into an empty work folder (each member read from the package file and
// deciphered, the substitutions, the articles waiting page and the help page) against
// writing the very files it writes, plainly, into another empty folder. Goal for the
// 100-member, 10 MB package: ratio at most 1.3.
void BM_BuildSite(benchmark::State& state, bool large) {
    const PackageFiles& files = Files(large);
    if (!files.fault.empty()) return state.SkipWithError(files.fault.c_str());
    qen::ContentPackage package;
    if (!OpenSite(files, package) || !package.ReadBranding()) return state.SkipWithError("the package did not open");
    TempFolder work("work"), plain("plain");
    std::optional<qen::ContentSite> site;
    site.emplace();
    if (const qen::Outcome built = site->BuildSite(package, qen::Path(work.Path())); !built)
        return state.SkipWithError(built.Message().c_str());
    const std::vector<NamedBytes> written = FilesIn(work);

    SideBySide sides(state, Clock::Wall);
    for (auto _ : state) {
        const bool ok = sides.Round(
            {[&] { return site->BuildSite(package, qen::Path(work.Path())).Ok(); },
             [&] {
                 work.Clear();
                 site.emplace();  // the niche's exclusion words add up on a reused site
             }},
            {[&] {
                 for (const NamedBytes& file : written)
                     if (!WritePlainFile(plain.File(file.name), file.bytes)) return false;
                 return true;
             },
             [&] { plain.Clear(); }});
        if (!ok) return state.SkipWithError("a site file was not written");
    }
    sides.Report();
    state.counters["files"] = static_cast<double>(written.size());
}
BENCHMARK_CAPTURE(BM_BuildSite, demo, false)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BuildSite, large, true)->UseManualTime()->Unit(benchmark::kMillisecond);

// The package's whole share of start-up as start-up does it (the program file searched,
// then on the worker the package's header read and checked, the branding read, the content
// hash compared, the site built with its members read and deciphered) against reading the
// package file and writing its members' bytes as files. Goal: ratio at most 2.5.
void BM_PackageToSite(benchmark::State& state) {
    const PackageFiles& files = Files(true);
    if (!files.fault.empty()) return state.SkipWithError(files.fault.c_str());
    qen::ContentPackage opened;
    if (!OpenSite(files, opened) || !opened.ReadBranding()) return state.SkipWithError("the package did not open");
    std::vector<NamedBytes> members;
    for (const qen::PackageMember& member : opened.Members()) {
        std::string bytes;
        if (!opened.ReadMember(member, bytes)) return state.SkipWithError("a member could not be read");
        members.push_back({member.name, std::move(bytes)});
    }
    TempFolder work("work"), plain("plain");

    SideBySide sides(state, Clock::Wall);
    for (auto _ : state) {
        const bool ok = sides.Round({[&] { return PackageToSite(files, work); }, [&] { work.Clear(); }},
                                    {[&] {
                                         std::optional<std::string> image =
                                             qen::ReadFileBytes(qen::Path(files.packagePath));
                                         if (!image) return false;
                                         for (const NamedBytes& member : members)
                                             if (!WritePlainFile(plain.File(member.name), member.bytes)) return false;
                                         return true;
                                     },
                                     [&] { plain.Clear(); }});
        if (!ok) return state.SkipWithError("the site was not built");
    }
    sides.Report();
}
BENCHMARK(BM_PackageToSite)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
