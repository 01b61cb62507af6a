#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/Application.h"
#include "fakes/FakePlatform.h"
#include "fakes/StartUpFolders.h"
#include "fakes/TempDir.h"
#include "fakes/TestPackages.h"

namespace qen {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

std::vector<std::string> Entries(const Path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Bytes())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Start-up with a package: the program and its package in one folder, the temporary
// folder and the desktop data folder in others.
class PackageStartUpTest : public ::testing::Test, protected test::StartUpFolders {
protected:
    void SetUp() override { Prepare(platform); }

    std::string WorkFolderName() const { return "lumfiles__" + std::to_string(platform.fakeSystem.now); }

    test::FakePlatform platform;
    Application app{platform, platform.fakeFetcher, platform.fakeUi.Dialogs()};
};

TEST_F(PackageStartUpTest, PackageBesideTheProgramShowsItsHelpPageUnderItsTitle) {
    WriteFile(program / "QenRuntime.qen", test::MakeBlock(test::SmallSite()));
    ASSERT_TRUE(app.Start({exe.Bytes()}));

    EXPECT_EQ(app.session().ProductKey, "QenRuntime");
    EXPECT_EQ(app.session().UserDataPath, program / "QenRuntime.lum");
    EXPECT_EQ(platform.fakeUi.ApplicationName(), "Dog Training Academy");
    EXPECT_EQ(platform.fakeView.title, "Dog Training Academy");
    EXPECT_EQ(app.session().WorkFolder, temp / (WorkFolderName() + "/"));
    EXPECT_EQ(platform.fakeView.navigations.back(), (app.session().WorkFolder / "help.html").Bytes());
    EXPECT_EQ(app.site().ExcludedWords, (std::vector<std::string>{"cat", "wolf"}));
    EXPECT_NE(ReadFile(app.session().WorkFolder / "help.html").find("Help for dog training"), std::string::npos);
    EXPECT_NE(ReadFile(app.session().WorkFolder / "banners.js").find("var MaxSideBanners = 3;"), std::string::npos);
    EXPECT_TRUE(platform.fakeUi.messages.empty()) << platform.fakeUi.messages[0].text;

    // Closing removes every generated file and the folder.
    app.session().ReadyToSave = false;
    app.Shutdown(0);
    EXPECT_TRUE(Entries(temp.path()).empty());
}

TEST_F(PackageStartUpTest, ChangedHeaderByteEndsStartUpBeforeAnythingIsWritten) {
    std::string image = test::MakeBlock(test::SmallSite());
    image[block::kMaxSideBanners] ^= 1;
    WriteFile(program / "QenRuntime.qen", image);
    EXPECT_FALSE(app.Start({exe.Bytes()}));
    EXPECT_EQ(platform.fakeUi.Texts(), std::vector<std::string>{"The .qen file is corrupt"});
    EXPECT_EQ(platform.fakeUi.messages[0].caption, "Qen Runtime");
    EXPECT_EQ(platform.fakeUi.messages[0].icon, Icon::Stop);
    EXPECT_EQ(platform.events, nullptr);
    app.Shutdown(0);
    EXPECT_TRUE(Entries(temp.path()).empty());
}

// The package's content is checked away from this thread while the window starts, yet
// what the check finds is told first: before the terms, before any other fault of the
// package, and before the window shows or anything is written.
TEST_F(PackageStartUpTest, AChangedMemberIsToldFirstAndNothingIsShown) {
    const std::string built = test::MakeBlock(test::SmallSite());
    std::string changed = built;
    changed[block::kData + 20] ^= 1;
    std::string badBranding = built;
    std::string list = "a\nb\nc\nd";
    list.resize(block::kSideBannersSize, '\0');
    badBranding.replace(block::kSideBanners, list.size(), list);
    test::Resign(badBranding);
    badBranding[block::kData + 20] ^= 1;
    struct Case {
        const char* what;
        const std::string& image;
        bool termsAccepted;
    };
    for (const Case& c : {Case{"first start", changed, false}, Case{"everyday start", changed, true},
                          Case{"with faulty branding too", badBranding, true}}) {
        test::FakePlatform run;
        Prepare(run);
        run.fakeSettings.ints.clear();
        if (c.termsAccepted) run.fakeSettings.ints[{"QenRuntime", "Terms"}] = 1;
        run.fakeUi.termsAnswers.push_back(true);
        WriteFile(program / "QenRuntime.qen", c.image);
        Application started(run, run.fakeFetcher, run.fakeUi.Dialogs());
        EXPECT_FALSE(started.Start({exe.Bytes()})) << c.what;
        EXPECT_EQ(run.fakeUi.Texts(), std::vector<std::string>{"The .qen file is corrupt (content changed)"}) << c.what;
        EXPECT_TRUE(run.fakeUi.termsShown.empty()) << c.what;
        EXPECT_EQ(run.fakeView.broughtToFront, 0) << c.what;
        EXPECT_TRUE(run.fakeView.navigations.empty()) << c.what;
        started.Shutdown(2);
        EXPECT_TRUE(Entries(temp.path()).empty()) << c.what;
        EXPECT_FALSE(test::Exists(program / "QenRuntime.lum")) << c.what;
    }
}

TEST_F(PackageStartUpTest, BrandedProgramUsesItsOwnPackageAndSettingsSection) {
    auto branded = test::SmallSite();
    branded.title = "Rex Academy";
    branded.settingsName = "Rex Plumtreegallant";
    WriteFile(exe, ReadFile(exe) + test::MakeBlock(branded));
    WriteFile(program / "other.qen", test::MakeBlock(test::SmallSite()));
    platform.fakeSettings.ints[{"Rex", "Terms"}] = 1;
    platform.fakeSettings.ints[{"Rex", "Zoom"}] = 125;

    ASSERT_TRUE(app.Start({exe.Bytes(), (program / "other.qen").Bytes()}));
    EXPECT_EQ(app.session().ProductKey, "Rex");
    EXPECT_EQ(app.session().ZoomPercent, 125);
    EXPECT_EQ(app.session().UserDataPath, Path(exe.Bytes() + ".lum"));
    EXPECT_EQ(platform.fakeView.title, "Rex Academy");
    EXPECT_TRUE(platform.fakeUi.messages.empty());
    app.session().ReadyToSave = false;
    app.Shutdown(0);
}

// A package without its niche, template or help page shows nothing the menus can act on:
// it ends as a damaged one does, before anything is written.
TEST_F(PackageStartUpTest, SiteFailuresRemoveWhatWasWrittenAndTheFolder) {
    struct Case {
        const char* what;
        std::vector<std::string> left;  // members taken out
        std::string niche;              // empty: as it is
        std::string message;
    };
    const Case cases[] = {
        {"niche without category", {}, "dogs\n", "The SiteNiche.txt object does not contain EzineArticles URL data"},
        {"no niche", {"SiteNiche.txt"}, "", "The .qen file is corrupt (it has no SiteNiche.txt)"},
        {"no template", {"template.html"}, "", "The .qen file is corrupt (it has no template.html)"},
        {"no help page", {"help.html"}, "", "The .qen file is corrupt (it has no help.html)"},
        {"neither page", {"template.html", "help.html"}, "",
         "The .qen file is corrupt (it has no template.html and help.html)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto description = test::SmallSite();
        if (!c.niche.empty()) description.members[0].data = c.niche;
        std::erase_if(description.members, [&](const PackageFile& file) {
            return std::find(c.left.begin(), c.left.end(), file.name) != c.left.end();
        });
        WriteFile(program / "QenRuntime.qen", test::MakeBlock(description));
        test::FakePlatform fresh;
        fresh.fakeSystem.executablePath = exe;
        fresh.fakeSystem.tempFolder = temp.path();
        fresh.fakeSettings.ints[{"QenRuntime", "Terms"}] = 1;
        Application failing(fresh, fresh.fakeFetcher, fresh.fakeUi.Dialogs());
        EXPECT_FALSE(failing.Start({exe.Bytes()}));
        EXPECT_EQ(fresh.fakeUi.Texts(), std::vector<std::string>{c.message});
        // A package that opened has named the program.
        if (c.left.empty()) {
            EXPECT_EQ(fresh.fakeUi.messages[0].caption, "Dog Training Academy");
        }
        EXPECT_TRUE(Entries(temp.path()).empty());
        failing.Shutdown(0);
    }
}

TEST_F(PackageStartUpTest, UnsafeMemberNameIsRefusedAndNothingIsWritten) {
    std::string image = test::MakeBlock(test::SmallSite());
    const std::size_t name = test::MemberRow(1) + block::kMemberNameOffset;
    image.replace(name, 16, std::string("../../escape.js\0", 16));
    test::Resign(image);
    WriteFile(program / "QenRuntime.qen", image);
    EXPECT_FALSE(app.Start({exe.Bytes()}));
    ASSERT_EQ(platform.fakeUi.messages.size(), 1u);
    EXPECT_EQ(platform.fakeUi.messages[0].text,
              "The .qen file is corrupt (the package holds a file with an unsafe name: \"../../escape.js\")");
    app.Shutdown(0);
    EXPECT_TRUE(Entries(temp.path()).empty());
    EXPECT_FALSE(test::Exists(program / "../escape.js"));
}

// Every way out of a run lets go of the user data file and takes the run's files along.
TEST_F(PackageStartUpTest, EveryWayOutLeavesNothingBehind) {
    WriteFile(program / "QenRuntime.qen", test::MakeBlock(test::SmallSite()));
    const Path lock = program / "QenRuntime.lum.lock";
    const Path redirectPage = temp / "temp_webtool_help.html";
    struct Case {
        const char* why;
        bool termsAccepted;
        std::function<void(Application&)> leave;  // after a start that got as far as it could
        bool windowFails = false;
    };
    const Case cases[] = {
        {"a normal end", true, [](Application& a) { a.Shutdown(0); }},
        {"Exit Without Saving", true, [](Application& a) { a.ExitWithoutSaving(); }},
        {"the restart after a restore", true,
         [&](Application& a) {
             WriteFile(temp / "backup.lum", ReadFile(program / "QenRuntime.lum"));
             a.backups().RestoreFrom(temp / "backup.lum");
         }},
        {"declined terms", false, [](Application&) {}},
        // The site is already being built into its folder while the window is made.
        {"a window that could not be made", true, [](Application& a) { a.Shutdown(2); }, true},
    };
    app.Shutdown(0);  // the fixture's own application made the first save
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        test::FakePlatform run;
        Prepare(run);
        run.windowFails = c.windowFails;
        if (!c.termsAccepted) {
            run.fakeSettings.ints.clear();
            run.fakeUi.termsAnswers.push_back(false);
        }
        Application application(run, run.fakeFetcher, run.fakeUi.Dialogs());
        try {
            if (application.Start({exe.Bytes()})) {
                EXPECT_TRUE(test::Exists(lock));
                WriteFile(redirectPage, "a page for the user's browser");
                c.leave(application);
            } else if (c.windowFails) {
                c.leave(application);
            }
        } catch (const test::ProcessEnded&) {
        } catch (const test::ProcessReplaced&) {
        }
        // Checked before the application goes away: a process that ends runs no destructor.
        EXPECT_FALSE(test::Exists(lock));
        EXPECT_FALSE(test::Exists(redirectPage));
        EXPECT_EQ(Entries(temp.path()), std::vector<std::string>{}) << Entries(temp.path()).front();
    }
}

}  // namespace
}  // namespace qen

namespace qen {
namespace {

TEST_F(PackageStartUpTest, StoredZoomIsAppliedOnlyWithinTheDialogsRange) {
    WriteFile(program / "QenRuntime.qen", test::MakeBlock(test::SmallSite()));
    struct Case {
        int stored;
        int applied;
    };
    for (const Case& c : {Case{150, 150}, Case{1, 1}, Case{400, 400}, Case{0, 100}, Case{401, 100}, Case{-5, 100}}) {
        test::FakePlatform fresh;
        Prepare(fresh);
        fresh.fakeSettings.ints[{"QenRuntime", "Zoom"}] = c.stored;
        Application started(fresh, fresh.fakeFetcher, fresh.fakeUi.Dialogs());
        ASSERT_TRUE(started.Start({exe.Bytes()})) << c.stored;
        EXPECT_EQ(fresh.fakeView.zoomPercent, c.applied) << c.stored;
        started.Shutdown(0);
    }
}

}  // namespace
}  // namespace qen

namespace qen {
namespace {

// Folders named outside ASCII are used by their bytes throughout: nothing passes through
// the system text's conversion on its way from the system to a file call or to the view.
TEST_F(PackageStartUpTest, FoldersNamedOutsideAsciiAreUsedAsTheyAre) {
    const std::string jurgen = "J\xC3\xBCrgen";
    const Path programFolder = program / (jurgen + "/");
    const Path tempFolder = temp / (jurgen + "/");
    test::MakeFolders(programFolder);
    test::MakeFolders(tempFolder);
    const Path exeThere = programFolder / "QenRuntime";
    WriteFile(exeThere, "program bytes");
    WriteFile(programFolder / "\xC3\x9C" "bung.qen", test::MakeBlock(test::SmallSite()));
    platform.fakeSystem.executablePath = exeThere;
    platform.fakeSystem.tempFolder = tempFolder;

    ASSERT_TRUE(app.Start({exeThere.Bytes(), (programFolder / "\xC3\x9C" "bung.qen").Bytes()}));
    EXPECT_EQ(app.session().UserDataPath, programFolder / "\xC3\x9C" "bung.lum");
    EXPECT_EQ(app.session().WorkFolder, tempFolder / (WorkFolderName() + "/"));
    EXPECT_EQ(platform.fakeView.navigations.back(), (app.session().WorkFolder / "help.html").Bytes());
    EXPECT_NE(ReadFile(app.session().WorkFolder / "help.html").find("Help for dog training"), std::string::npos);
    EXPECT_TRUE(platform.fakeUi.messages.empty()) << platform.fakeUi.messages[0].text;

    app.store().Notes.push_back({"n", "t"});
    app.Shutdown(0);
    EXPECT_TRUE(test::Exists(programFolder / "\xC3\x9C" "bung.lum"));
    EXPECT_FALSE(test::Exists(tempFolder / (WorkFolderName() + "/")));
}

}  // namespace
}  // namespace qen

namespace qen {
namespace {

// Two windows on one user data file would each save over the other's changes at exit.
TEST_F(PackageStartUpTest, ASecondWindowOnTheSameUserDataSaysSoAndTouchesNothing) {
    WriteFile(program / "QenRuntime.qen", test::MakeBlock(test::SmallSite()));
    ASSERT_TRUE(app.Start({exe.Bytes()}));
    app.store().Notes.push_back({"first", "window"});

    test::FakePlatform secondPlatform;
    Prepare(secondPlatform, platform.fakeSystem.now + 1);
    Application second(secondPlatform, secondPlatform.fakeFetcher, secondPlatform.fakeUi.Dialogs());
    EXPECT_FALSE(second.Start({exe.Bytes()}));
    EXPECT_EQ(secondPlatform.fakeUi.Texts(),
              std::vector<std::string>{(program / "QenRuntime.lum").Bytes() + " is already open in another window"});
    EXPECT_EQ(second.Shutdown(0), 0);
    EXPECT_FALSE(test::Exists(program / "QenRuntime.lum"));

    app.Shutdown(0);
    VideoStore saved;
    ASSERT_TRUE(saved.LoadUserData(program / "QenRuntime.lum"));
    EXPECT_EQ(saved.Notes.size(), 1u);
    EXPECT_FALSE(test::Exists(program / "QenRuntime.lum.lock"));
}

}  // namespace
}  // namespace qen

namespace qen {
namespace {

// The file types are registered once the first page is on its way, and an everyday start
// (nothing to change) starts no program for them.
TEST_F(PackageStartUpTest, FileTypesFollowTheFirstPageAndAreRefreshedOnlyWhenChanged) {
    const Path desktopEntry = dataHome / "applications/qen-runtime.desktop";
    auto failing = test::SmallSite();
    failing.members[0].data = "dogs\n";  // a niche without its category: start-up ends after the site is built
    WriteFile(program / "QenRuntime.qen", test::MakeBlock(failing));
    {
        Application failed(platform, platform.fakeFetcher, platform.fakeUi.Dialogs());
        EXPECT_FALSE(failed.Start({exe.Bytes()}));
        failed.Shutdown(0);
    }
    EXPECT_FALSE(test::Exists(desktopEntry));
    EXPECT_TRUE(platform.fakeSystem.detached.empty());

    WriteFile(program / "QenRuntime.qen", test::MakeBlock(test::SmallSite()));
    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        test::FakePlatform fresh;
        Prepare(fresh, 1'700'000'000 + start);
        Application app(fresh, fresh.fakeFetcher, fresh.fakeUi.Dialogs());
        ASSERT_TRUE(app.Start({exe.Bytes()}));
        EXPECT_NE(ReadFile(desktopEntry).find(exe.Bytes()), std::string::npos);
        EXPECT_TRUE(fresh.fakeSystem.ran.empty());
        EXPECT_EQ(fresh.fakeSystem.detached.size(), start == 1 ? 3u : 0u);
        app.Shutdown(0);
    }
}

// Declining the terms ends the program before anything of the user's is changed.
TEST_F(PackageStartUpTest, DecliningTheTermsWritesNoSetting) {
    test::TempDir elsewhere;
    WriteFile(elsewhere / "site.qen", test::MakeBlock(test::SmallSite()));
    platform.fakeSettings.ints.clear();
    platform.fakeUi.chosenFiles.push_back(elsewhere / "site.qen");
    platform.fakeUi.termsAnswers.push_back(false);
    {
        Application declined(platform, platform.fakeFetcher, platform.fakeUi.Dialogs());  // the process it stands for ends here
        try {
            declined.Start({exe.Bytes()});
            FAIL() << "the program went on without the terms";
        } catch (const test::ProcessEnded& ended) {
            EXPECT_EQ(ended.code, 1);
        }
    }
    EXPECT_EQ(platform.fakeSettings.writes, 0);
    EXPECT_TRUE(platform.fakeSettings.paths.empty());

    // Accepted, the folder the package was chosen from is remembered.
    test::FakePlatform again;
    Prepare(again);
    again.fakeSettings.ints.clear();
    again.fakeUi.chosenFiles.push_back(elsewhere / "site.qen");
    again.fakeUi.termsAnswers.push_back(true);
    Application accepted(again, again.fakeFetcher, again.fakeUi.Dialogs());
    ASSERT_TRUE(accepted.Start({exe.Bytes()}));
    EXPECT_EQ((again.fakeSettings.paths[{"QenRuntime", "InitDir"}]), elsewhere.path());
    accepted.Shutdown(0);
}

}  // namespace
}  // namespace qen
