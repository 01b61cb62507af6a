#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeFetcher.h"
#include "fakes/FakeSettings.h"
#include "fakes/FakeSystem.h"
#include "fakes/FakeUi.h"
#include "fakes/ScopedEnvironment.h"
#include "fakes/TempDir.h"
#include "fakes/TestPackages.h"
#include "package/ContentPackage.h"
#include "update/InstalledCopy.h"
#include "update/UpdateKey.h"
#include "update/UpdateSignature.h"
#include "update/VersionCheck.h"
#include "web/Fetcher.h"

namespace qen {
namespace {

using namespace std::string_literals;

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

const std::string kVersionUrl = "http://update.test/qenruntime/version.txt";
const std::string kStandardProgramUrl = "http://download.test/QenRuntime";
const std::string kOtherProgramUrl = "http://update.test/qenruntime/QenRuntime";
const std::string kReplacerUrl = "http://download.test/QenRuntimeAutoReplaceTool";

const std::string kOffer = "A new version of this software is available\n\nWould you like to download it now?";
const std::string kNotVerified = "The downloaded update could not be verified and was not installed";

const std::string kNewProgram = "\x7f" "ELF version 2\0code"s;
const std::string kReplacer = "\x7f" "ELF replacer\0code"s;
const std::string kOldProgram = "old program";

constexpr std::int64_t kNow = 1'700'000'000;
const VersionNumber kRunning = RunningVersion();
const VersionNumber kNext = kRunning + 1;

std::string VersionFile(VersionNumber version) {
    return std::to_string(version) + "\r\nQen Runtime " + std::to_string(version) + "\r\n";
}

class VersionCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        environment.Set("QEN_UPDATE_HOST", "update.test").Set("QEN_DOWNLOAD_HOST", "download.test");
        system.now = kNow;
        RunAs("QenRuntime");
        WriteFile(dir / std::string(kUpdateKeyFileName), FormatUpdatePublicKey(keys.publicKey) + "\n");
    }

    void RunAs(const std::string& name) {
        fs::remove(system.executablePath.Bytes());
        system.executablePath = dir / name;
        WriteFile(system.executablePath, kOldProgram);
    }

    // Puts a file and its signature on the server, signed for `version` unless told otherwise.
    void Publish(const std::string& url, const std::string& bytes, UpdateFileKind kind, VersionNumber version = kNext) {
        fetcher.answers[url] = bytes;
        fetcher.answers[url + ".sig"] = *SignUpdateFile(keys.privateKey, kind, version, bytes);
    }

    // The next version on the server, with everything a copy under any name needs.
    void PublishNextVersion() {
        fetcher.answers[kVersionUrl] = VersionFile(kNext);
        Publish(kStandardProgramUrl, kNewProgram, UpdateFileKind::Program);
        Publish(kOtherProgramUrl, kNewProgram, UpdateFileKind::Program);
        Publish(kReplacerUrl, kReplacer, UpdateFileKind::Replacer);
    }

    // `bound`: the running program's file carries `packageBlock` after its code.
    bool Check(const std::string& packageBlock = {}, bool bound = false) {
        ContentPackage package;
        package.Embedded = bound;
        if (!packageBlock.empty()) {
            EXPECT_TRUE(package.FindBlock(kOldProgram + packageBlock));
            EXPECT_TRUE(package.CheckPackageHeader("corrupt"));
        }
        const bool result = CheckForNewVersion(ui, settings, system, fetcher, package);
        EXPECT_EQ(ui.busyDepth, 0);
        return result;
    }

    std::vector<std::string> Requested() const {
        std::vector<std::string> urls;
        for (const auto& request : fetcher.requests) {
            EXPECT_EQ(request.channel, FetchChannel::Update) << request.url;
            urls.push_back(request.url);
        }
        return urls;
    }

    // Every file in the program's folder but the key, sorted.
    std::vector<std::string> FolderFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path().Bytes()))
            if (entry.path().filename() != kUpdateKeyFileName) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Back to the program and its key alone.
    void ClearFolder() const {
        for (const std::string& name : FolderFiles())
            if (name != system.executablePath.Name()) fs::remove_all((dir / name).Bytes());
    }

    std::optional<int> RecordedCheck() const {
        auto found = settings.ints.find({"VersionCheck", "VersionCheck"});
        if (found == settings.ints.end()) return std::nullopt;
        return found->second;
    }

    test::TempDir dir;
    test::ScopedEnvironment environment;
    test::FakeUi ui;
    test::FakeSettings settings;
    test::FakeSystem system;
    test::FakeFetcher fetcher;
    UpdateKeyPair keys = *GenerateUpdateKeyPair();
};

bool IsProgram(const Path& path) {
    return (fs::status(path.Bytes()).permissions() & fs::perms::owner_exec) != fs::perms::none;
}

TEST_F(VersionCheckTest, StandardCopyGetsTheNewProgramAndTheReplacer) {
    PublishNextVersion();
    ui.answers = {Answer::Yes};

    EXPECT_TRUE(Check());

    EXPECT_EQ(Requested(), (std::vector<std::string>{kVersionUrl, kStandardProgramUrl, kStandardProgramUrl + ".sig",
                                                     kReplacerUrl, kReplacerUrl + ".sig"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kOffer);
    EXPECT_EQ(ui.messages[0].icon, Icon::Information);
    EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"QenRuntime", "QenRuntime2", "QenRuntimeAutoReplaceTool"}));
    EXPECT_TRUE(ReadFile(dir / "QenRuntime2") == kNewProgram);
    EXPECT_TRUE(ReadFile(dir / "QenRuntimeAutoReplaceTool") == kReplacer);
    EXPECT_EQ(ReadFile(dir / "QenRuntime"), kOldProgram);
    EXPECT_TRUE(IsProgram(dir / "QenRuntime2"));
    EXPECT_TRUE(IsProgram(dir / "QenRuntimeAutoReplaceTool"));
    EXPECT_EQ(RecordedCheck(), kNow);
}

TEST_F(VersionCheckTest, CopyUnderAnotherNameIsToldItsNewFile) {
    RunAs("MyTool_9");
    PublishNextVersion();
    ui.answers = {Answer::Yes};

    EXPECT_TRUE(Check());

    EXPECT_EQ(Requested(), (std::vector<std::string>{kVersionUrl, kOtherProgramUrl, kOtherProgramUrl + ".sig"}));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "The new version has been downloaded as " + (dir / "MyTool_10").Display() +
                                       "\n\nThis software will now exit\n\nPlease activate the new version in future"
                                       "\n\nYou can delete the original version, if you wish");
    EXPECT_EQ(ui.messages[1].icon, Icon::Information);
    EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"MyTool_10", "MyTool_9"}));
    EXPECT_TRUE(ReadFile(dir / "MyTool_10") == kNewProgram);
    EXPECT_TRUE(IsProgram(dir / "MyTool_10"));
}

TEST_F(VersionCheckTest, BoundCopyCarriesItsPackageIntoTheNewFile) {
    PublishNextVersion();
    ui.answers = {Answer::Yes};
    const std::string package = test::MakeBlock(test::SmallSite());

    EXPECT_TRUE(Check(package, true));

    // Even under the standard name a bound copy is never replaced in place.
    EXPECT_EQ(Requested(), (std::vector<std::string>{kVersionUrl, kOtherProgramUrl, kOtherProgramUrl + ".sig"}));
    EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"QenRuntime", "QenRuntime_2"}));
    EXPECT_TRUE(ReadFile(dir / "QenRuntime_2") == kNewProgram + package);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text.rfind("The new version has been downloaded as " + (dir / "QenRuntime_2").Display(), 0), 0u);
}

// The package is read again from the program file for the new copy; a file cut short since
// start-up must not give a new program without its package.
TEST_F(VersionCheckTest, BoundCopyWhoseFileChangedSinceStartDownloadsNothing) {
    PublishNextVersion();
    ui.answers = {Answer::Yes};
    const std::string block = test::MakeBlock(test::SmallSite());
    WriteFile(system.executablePath, kOldProgram + block);
    ContentPackage package;
    package.Embedded = true;
    ASSERT_TRUE(package.FindBlock(ReadableFile::Open(system.executablePath)));
    ASSERT_TRUE(package.CheckPackageHeader("corrupt"));
    fs::resize_file(system.executablePath.Bytes(), kOldProgram.size() + block::kData);

    EXPECT_FALSE(CheckForNewVersion(ui, settings, system, fetcher, package));

    EXPECT_EQ(Requested(), std::vector<std::string>{kVersionUrl});
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                              kOffer, "Unable to download new version: the package in this program's file could not "
                                      "be read again"}));
    EXPECT_EQ(FolderFiles(), std::vector<std::string>{"QenRuntime"});
}

// Far larger than the download buffer, and still under the limit: the bound copy's
// package comes off what the program may take.
TEST_F(VersionCheckTest, ProgramOverTheLimitIsRefusedWithItsOwnMessage) {
    const std::string package = test::MakeBlock(test::SmallSite());
    const struct {
        const char* name;
        bool bound;
        std::string programUrl;
        std::uint64_t limit;
        std::string message;
    } cases[] = {
        {"standard copy", false, kStandardProgramUrl, kMaxUpdateFileSize,
         "Unable to download new version: the new program is larger than 256 MB"},
        {"bound copy", true, kOtherProgramUrl, kMaxUpdateFileSize - package.size(),
         "Unable to download new version: the new program and its package together would be larger than 256 MB"},
    };
    for (const auto& c : cases) {
        PublishNextVersion();
        fetcher.requests.clear();
        fetcher.overLimit = {c.programUrl};
        settings.ints.clear();
        ui.messages.clear();
        ui.answers = {Answer::Yes};

        EXPECT_FALSE(Check(package, c.bound)) << c.name;

        ASSERT_EQ(fetcher.requests.size(), 2u) << c.name;
        EXPECT_EQ(fetcher.requests[1].url, c.programUrl) << c.name;
        EXPECT_EQ(fetcher.requests[1].maxBytes, c.limit) << c.name;
        EXPECT_EQ(ui.Texts(), (std::vector<std::string>{kOffer, c.message})) << c.name;
        EXPECT_EQ(ui.messages.back().icon, Icon::Stop) << c.name;
        EXPECT_EQ(FolderFiles(), std::vector<std::string>{"QenRuntime"}) << c.name;
    }
}

TEST_F(VersionCheckTest, VersionFileDecidesWhetherTheUserIsAsked) {
    const struct {
        const char* name;
        std::string versionFile;
        bool asked;
        bool recorded;
    } cases[] = {
        {"two lines, newer", VersionFile(kNext), true, true},
        {"single line with its break", std::to_string(kNext) + "\r\n", false, true},
        {"single line", std::to_string(kNext), false, true},
        {"same version", VersionFile(kRunning), false, true},
        {"decimal below the next", std::to_string(kRunning) + ".9\r\nnotes\r\n", false, true},
        {"older version", VersionFile(kRunning - 1), false, true},
        {"nothing received", "", false, false},
        {"server's not-found page", "<html>\r\n<h1>404 Not Found</h1>\r\n</html>", false, false},
    };
    for (const auto& c : cases) {
        settings.ints.clear();
        ui.messages.clear();
        fetcher.requests.clear();
        fetcher.answers = {{kVersionUrl, c.versionFile}};
        if (c.asked) ui.answers = {Answer::No};

        EXPECT_FALSE(Check()) << c.name;

        EXPECT_EQ(Requested(), std::vector<std::string>{kVersionUrl}) << c.name;
        EXPECT_EQ(ui.Texts(), c.asked ? std::vector<std::string>{kOffer} : std::vector<std::string>{}) << c.name;
        EXPECT_EQ(RecordedCheck(), c.recorded ? std::optional<int>(kNow) : std::nullopt) << c.name;
        EXPECT_EQ(FolderFiles(), std::vector<std::string>{"QenRuntime"}) << c.name;
    }
}

TEST_F(VersionCheckTest, AtMostOneVersionFileADay) {
    const struct {
        const char* name;
        std::optional<int> lastCheck;
        bool fetched;
    } cases[] = {
        {"never checked", std::nullopt, true},
        {"an hour ago", kNow - 3600, false},
        {"just under a day ago", kNow - 86'399, false},
        {"a day ago", kNow - 86'400, true},
        // A clock that was set back must not put the check off for the time it was wrong.
        {"recorded in the future", kNow + 3600, true},
    };
    for (const auto& c : cases) {
        settings.ints.clear();
        if (c.lastCheck) settings.ints[{"VersionCheck", "VersionCheck"}] = *c.lastCheck;
        fetcher.requests.clear();
        fetcher.answers = {{kVersionUrl, VersionFile(kRunning)}};
        EXPECT_FALSE(Check()) << c.name;
        EXPECT_EQ(fetcher.requests.size(), c.fetched ? 1u : 0u) << c.name;
    }
}

TEST_F(VersionCheckTest, FailedVersionFetchIsRetriedAtTheNextStart) {
    EXPECT_FALSE(Check());
    EXPECT_FALSE(RecordedCheck());

    fetcher.answers[kVersionUrl] = VersionFile(kRunning);
    system.now = kNow + 60;
    EXPECT_FALSE(Check());
    EXPECT_EQ(RecordedCheck(), kNow + 60);

    system.now = kNow + 120;
    EXPECT_FALSE(Check());
    EXPECT_EQ(fetcher.requests.size(), 2u);
}

TEST_F(VersionCheckTest, DecliningDownloadsNothing) {
    PublishNextVersion();
    ui.answers = {Answer::No};
    EXPECT_FALSE(Check());
    EXPECT_EQ(Requested(), std::vector<std::string>{kVersionUrl});
    EXPECT_EQ(FolderFiles(), std::vector<std::string>{"QenRuntime"});
}

TEST_F(VersionCheckTest, ProgramThatDoesNotArriveIsReported) {
    const struct {
        const char* name;
        std::optional<std::string> answer;  // nullopt: nothing received
    } cases[] = {
        {"nothing received", std::nullopt},
        {"not-found page", "<html><title>404 Not Found</title></html>"},
    };
    for (const auto& c : cases) {
        PublishNextVersion();
        if (c.answer)
            fetcher.answers[kStandardProgramUrl] = *c.answer;
        else
            fetcher.answers.erase(kStandardProgramUrl);
        settings.ints.clear();
        ui.messages.clear();
        ui.answers = {Answer::Yes};

        EXPECT_FALSE(Check()) << c.name;
        EXPECT_EQ(ui.Texts(), (std::vector<std::string>{kOffer, "Unable to download new version"})) << c.name;
        EXPECT_EQ(ui.messages.back().icon, Icon::Stop);
        EXPECT_EQ(FolderFiles(), std::vector<std::string>{"QenRuntime"}) << c.name;
    }
}

TEST_F(VersionCheckTest, FilesThatFailTheirSignatureAreNotWritten) {
    const UpdateKeyPair stranger = *GenerateUpdateKeyPair();
    const struct {
        const char* name;
        std::string url;
        std::function<void(const std::string& url)> tamper;
    } cases[] = {
        {"program without signature", kStandardProgramUrl,
         [this](const std::string& url) { fetcher.answers.erase(url + ".sig"); }},
        {"program signed by another key", kStandardProgramUrl,
         [&](const std::string& url) {
             fetcher.answers[url + ".sig"] = *SignUpdateFile(stranger.privateKey, UpdateFileKind::Program, kNext, kNewProgram);
         }},
        {"program changed after signing", kStandardProgramUrl,
         [this](const std::string& url) { fetcher.answers[url] += "!"; }},
        {"older signed program replayed as a later version", kStandardProgramUrl,
         [this](const std::string&) { fetcher.answers[kVersionUrl] = VersionFile(kNext + 1); }},
        {"replacer served as program", kStandardProgramUrl,
         [this](const std::string& url) { Publish(url, kReplacer, UpdateFileKind::Replacer); }},
        {"replacer without signature", kReplacerUrl,
         [this](const std::string& url) { fetcher.answers.erase(url + ".sig"); }},
        {"replacer changed after signing", kReplacerUrl,
         [this](const std::string& url) { fetcher.answers[url] += "!"; }},
        {"replacer signed for an older version", kReplacerUrl,
         [this](const std::string& url) { Publish(url, kReplacer, UpdateFileKind::Replacer, kRunning); }},
    };
    for (const auto& c : cases) {
        PublishNextVersion();
        c.tamper(c.url);
        settings.ints.clear();
        ui.messages.clear();
        ui.answers = {Answer::Yes};

        EXPECT_FALSE(Check()) << c.name;
        EXPECT_EQ(ui.Texts(), (std::vector<std::string>{kOffer, kNotVerified})) << c.name;
        EXPECT_EQ(ui.messages.back().icon, Icon::Stop) << c.name;
        EXPECT_EQ(FolderFiles(), std::vector<std::string>{"QenRuntime"}) << c.name;
    }
}

TEST_F(VersionCheckTest, ReplacerThatDoesNotArriveShowsWhatCame) {
    const std::string page = "<html><h1>404 Not Found</h1></html>";
    const struct {
        const char* name;
        std::optional<std::string> answer;
        std::string shown;
    } cases[] = {
        {"nothing received", std::nullopt, ""},
        {"not-found page", page, page},
    };
    for (const auto& c : cases) {
        PublishNextVersion();
        if (c.answer)
            fetcher.answers[kReplacerUrl] = *c.answer;
        else
            fetcher.answers.erase(kReplacerUrl);
        settings.ints.clear();
        ui.messages.clear();
        ui.answers = {Answer::Yes};

        EXPECT_FALSE(Check()) << c.name;
        ASSERT_EQ(ui.messages.size(), 3u) << c.name;
        EXPECT_EQ(ui.messages[1].text, c.shown) << c.name;
        EXPECT_EQ(ui.messages[1].icon, Icon::None);
        EXPECT_EQ(ui.messages[1].buttons, Buttons::Ok);
        EXPECT_EQ(ui.messages[2].text, "Unable to download new version replace tool");
        EXPECT_EQ(ui.messages[2].icon, Icon::Stop);
        // The new program is not left behind without its replacer.
        EXPECT_EQ(FolderFiles(), std::vector<std::string>{"QenRuntime"}) << c.name;
    }
}

TEST_F(VersionCheckTest, DownloadThatCannotBeWrittenChangesNothing) {
    const struct {
        const char* name;
        const char* inTheWay;  // a folder where a file must be written
    } cases[] = {
        {"new program", "QenRuntime2"},
        {"replacer", "QenRuntimeAutoReplaceTool"},
    };
    for (const auto& c : cases) {
        ClearFolder();
        test::MakeFolders(dir / c.inTheWay);
        PublishNextVersion();
        settings.ints.clear();
        ui.messages.clear();
        ui.answers = {Answer::Yes};

        EXPECT_FALSE(Check()) << c.name;
        EXPECT_EQ(ui.Texts(), (std::vector<std::string>{kOffer, "Failed to write file " + (dir / c.inTheWay).Display()})) << c.name;
        EXPECT_EQ(ui.messages.back().icon, Icon::Stop) << c.name;
        EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"QenRuntime", c.inTheWay})) << c.name;
        EXPECT_TRUE(fs::is_directory((dir / c.inTheWay).Bytes())) << c.name;
        // The version file did arrive: the offer comes again tomorrow.
        EXPECT_EQ(RecordedCheck(), kNow) << c.name;
    }
}

// A copy the package manager installed (its folder not writable by the user) is told of
// the new version once a day and downloads nothing, so no replacer is ever started for it.
TEST_F(VersionCheckTest, CopyInAReadOnlyFolderIsToldTheSystemUpdatesIt) {
    const std::string notice = "Version " + std::to_string(kNext) +
                               " of this software is available\n\nIt is installed through the system's software updates";
    const struct {
        const char* name;
        std::string programName;
        bool bound;
    } cases[] = {
        {"standard name", "QenRuntime", false},
        {"another name", "MyTool_9", false},
        {"bound to its package", "QenRuntime", true},
    };
    for (const auto& c : cases) {
        RunAs(c.programName);
        ClearFolder();
        system.readOnlyFolders = {dir.path().Bytes()};
        settings.ints.clear();
        ui.messages.clear();
        fetcher.requests.clear();
        PublishNextVersion();
        ui.answers = {Answer::Yes};

        EXPECT_FALSE(Check(test::MakeBlock(test::SmallSite()), c.bound)) << c.name;

        EXPECT_EQ(Requested(), std::vector<std::string>{kVersionUrl}) << c.name;
        ASSERT_EQ(ui.messages.size(), 1u) << c.name;
        EXPECT_EQ(ui.messages[0].text, notice) << c.name;
        EXPECT_EQ(ui.messages[0].icon, Icon::Information) << c.name;
        EXPECT_EQ(ui.messages[0].buttons, Buttons::Ok) << c.name;
        EXPECT_EQ(FolderFiles(), std::vector<std::string>{c.programName}) << c.name;
        EXPECT_EQ(RecordedCheck(), kNow) << c.name;

        // Still once a day: the next start within the day neither asks nor tells.
        system.now = kNow + 3600;
        EXPECT_FALSE(Check(test::MakeBlock(test::SmallSite()), c.bound)) << c.name;
        EXPECT_EQ(fetcher.requests.size(), 1u) << c.name;
        EXPECT_EQ(ui.messages.size(), 1u) << c.name;
        system.now = kNow;
    }
}

// Root can write /usr/bin, yet an installed copy still leaves its updates to the system.
TEST_F(VersionCheckTest, InstalledCopyInAWritableFolderDownloadsNothing) {
    fs::create_directories((dir / "bin").Bytes());
    fs::create_directories((dir / "share/metainfo").Bytes());
    WriteFile(dir / ("share/metainfo/" + std::string(kInstalledMetadataName)), "<component/>");
    system.executablePath = dir / "bin/QenRuntime";
    WriteFile(system.executablePath, kOldProgram);
    WriteFile(dir / ("bin/" + std::string(kUpdateKeyFileName)), FormatUpdatePublicKey(keys.publicKey) + "\n");
    PublishNextVersion();
    ui.answers = {Answer::Yes};

    EXPECT_FALSE(Check());

    EXPECT_EQ(Requested(), std::vector<std::string>{kVersionUrl});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind("Version " + std::to_string(kNext) + " of this software is available", 0), 0u);
    EXPECT_FALSE(test::Exists(dir / "bin/QenRuntime2"));
    EXPECT_FALSE(test::Exists(dir / "bin/QenRuntimeAutoReplaceTool"));
}

TEST_F(VersionCheckTest, ReadOnlyFolderWithNothingNewerShowsNothing) {
    system.readOnlyFolders = {dir.path().Bytes()};
    fetcher.answers[kVersionUrl] = VersionFile(kRunning);
    EXPECT_FALSE(Check());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(RecordedCheck(), kNow);
}

TEST_F(VersionCheckTest, WithoutAKeyNothingIsFetched) {
    PublishNextVersion();
    const struct {
        const char* name;
        std::optional<std::string> keyFile;
    } cases[] = {
        {"no key file", std::nullopt},
        {"damaged key file", "not a key\n"},
    };
    for (const auto& c : cases) {
        // A build that carries a key falls back to it when no key file is there.
        if (!c.keyFile && !BuiltInUpdateKey().empty()) continue;
        fs::remove((dir / std::string(kUpdateKeyFileName)).Bytes());
        if (c.keyFile) WriteFile(dir / std::string(kUpdateKeyFileName), *c.keyFile);
        EXPECT_FALSE(Check()) << c.name;
        EXPECT_TRUE(fetcher.requests.empty()) << c.name;
        EXPECT_TRUE(ui.messages.empty()) << c.name;
        EXPECT_FALSE(RecordedCheck()) << c.name;
    }
}

}  // namespace
}  // namespace qen
