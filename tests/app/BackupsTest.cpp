#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "app/Application.h"
#include "app/Backups.h"
#include "app/UserDataLocation.h"
#include "fakes/FakePlatform.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/ScopedEnvironment.h"
#include "fakes/TempDir.h"
#include "files/FileIO.h"
#include "store/UserDataFile.h"

namespace qen {
namespace {

namespace fs = std::filesystem;
using test::FakePlatform;
using test::ProcessEnded;
using test::ProcessReplaced;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr std::int64_t kNow = 1'700'000'000;  // Tuesday, November 14, 2023 22:13:20 UTC
constexpr std::int64_t kDay = 86400;

void SetModified(const Path& path, std::int64_t seconds) {
    fs::last_write_time(path.Bytes(), std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{seconds}}));
}

std::int64_t Modified(const Path& path) {
    auto sys = std::chrono::file_clock::to_sys(fs::last_write_time(path.Bytes()));
    return std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count();
}

std::string Image(const std::string& videoId) {
    UserData d;
    d.CurrentVideos.push_back({videoId, "title"});
    return EncodeUserData(d);
}

class BackupTest : public ::testing::Test {
protected:
    TempDir temp;
    test::ScopedEnvironment environment;
    FakePlatform platform;
    Application app{platform, platform.fakeFetcher, platform.fakeUi.Dialogs()};
    Path backups = temp / "state/QenRuntime/LumFileBackups/";
    Path backup = BackupPathFor(backups, temp / "data/site.lum");
    Path freshCopy = Path(backup.WithExtension("").Bytes() + "_new.lum");

    void SetUp() override {
        environment.Set("XDG_STATE_HOME", (temp / "state").Bytes());
        platform.fakeSystem.now = kNow;
        platform.fakeSystem.tempFolder = temp.path();
        test::MakeFolders(temp / "lumfiles__1700000000");
        test::MakeFolders(temp / "data");
        app.session().WorkFolder = temp / "lumfiles__1700000000/";
        app.session().UserDataPath = temp / "data/site.lum";
        app.session().ExePath = Path("/opt/qen/QenRuntime");
    }

    // A backup of `source` (the fixture's user data file unless named) made at `modified`.
    void MakeBackup(const std::string& bytes, std::int64_t modified, const Path& source = Path()) {
        test::MakeFolders(backups);
        WriteFile(backup, bytes);
        SetModified(backup, modified);
        const Path from = source.Empty() ? app.session().UserDataPath : source;
        WriteFile(Path(backup.Bytes() + ".made"), std::to_string(modified) + "\n" + from.Bytes());
    }

    std::vector<std::string> Texts() const { return platform.fakeUi.Texts(); }
};

// The temporary folder is emptied at every boot; the state folder lasts.
TEST_F(BackupTest, BackupFolderIsInTheUserStateFolderUnderTheSettingsName) {
    struct Case {
        const char* why;
        const char* stateHome;  // nullptr: unset
        const char* home;
        std::string settingsName;
        Path expected;
    };
    const Case cases[] = {
        {"state home", "/s", "/h", "QenRuntime", Path("/s/QenRuntime/LumFileBackups/")},
        {"default under home", nullptr, "/h", "Dog Training", Path("/h/.local/state/Dog Training/LumFileBackups/")},
        {"a relative state home is ignored", "rel", "/h", "A", Path("/h/.local/state/A/LumFileBackups/")},
        {"neither", nullptr, nullptr, "A", Path()},
        {"a separator or dots make no other folder", "/s", "/h", "../x/y", Path("/s/_._x_y/LumFileBackups/")},
        {"letters outside ASCII", "/s", "/h", "Caf\xE9", Path("/s/Caf_/LumFileBackups/")},
        {"no name", "/s", "/h", "", Path("/s/QenRuntime/LumFileBackups/")},
    };
    for (const Case& c : cases) {
        test::ScopedEnvironment scoped;
        c.stateHome ? scoped.Set("XDG_STATE_HOME", c.stateHome) : scoped.Clear("XDG_STATE_HOME");
        c.home ? scoped.Set("HOME", c.home) : scoped.Clear("HOME");
        EXPECT_EQ(BackupFolder(c.settingsName), c.expected) << c.why;
    }
}

// Two copies of a package in two folders share a file name, never a backup.
TEST_F(BackupTest, EachUserDataFileHasItsOwnBackup) {
    const Path here = BackupPathFor(backups, Path("/home/a/one/DogTraining.lum"));
    const Path there = BackupPathFor(backups, Path("/home/a/two/DogTraining.lum"));
    EXPECT_NE(here, there);
    EXPECT_EQ(here.Name().rfind("LumBackup_DogTraining-", 0), 0u) << here.Bytes();
    EXPECT_EQ(here.Extension(), ".lum");
    EXPECT_EQ(here, BackupPathFor(backups, Path("/home/a/one/DogTraining.lum")));  // the same every run

    // A backup under this file's name that was made from another file is not offered.
    WriteFile(app.session().UserDataPath, Image("current"));
    MakeBackup(Image("other folder's notes"), kNow, temp / "elsewhere/site.lum");
    EXPECT_TRUE(app.backups().RestoreBackup(false));
    EXPECT_EQ(Texts(), std::vector<std::string>{"There are no backups of the .lum file"});
    EXPECT_FALSE(app.backups().RestoreBackup(true));
    EXPECT_EQ(ReadFile(app.session().UserDataPath), Image("current"));

    // Saving records where the copy came from, so the next run finds it.
    app.store().CurrentVideos = {{"new", "title"}};
    app.backups().SaveWithBackup();
    EXPECT_EQ(BackupSource(backup), app.session().UserDataPath);
}

TEST_F(BackupTest, ChangedFileKeepsThePreviousStateAsBackup) {
    WriteFile(app.session().UserDataPath, Image("old"));
    SetModified(app.session().UserDataPath, kNow - 3 * kDay);
    MakeBackup("older backup", kNow - 4 * kDay);
    app.store().CurrentVideos = {{"new", "title"}};

    app.backups().SaveWithBackup();

    EXPECT_EQ(ReadFile(app.session().UserDataPath), Image("new"));
    EXPECT_EQ(ReadFile(backup), Image("old"));
    EXPECT_EQ(Modified(backup), kNow - 3 * kDay);  // shown date: the last write of the data
    EXPECT_EQ(BackupMadeTime(backup), kNow);        // retention: when the copy was made
    EXPECT_FALSE(test::Exists(freshCopy));
    EXPECT_EQ(app.backups().BackupPath, backup);
    EXPECT_TRUE(app.backups().NewBackupPath.Empty());
    EXPECT_TRUE(Texts().empty());
}

TEST_F(BackupTest, UnchangedFileKeepsTheEarlierBackup) {
    WriteFile(app.session().UserDataPath, Image("same"));
    MakeBackup("earlier", kNow - 2 * kDay);
    app.store().CurrentVideos = {{"same", "title"}};

    app.backups().SaveWithBackup();

    EXPECT_EQ(ReadFile(backup), "earlier");
    EXPECT_EQ(Modified(backup), kNow - 2 * kDay);
    EXPECT_FALSE(test::Exists(freshCopy));
    EXPECT_FALSE(test::Exists(Path(freshCopy.Bytes() + ".made")));
}

TEST_F(BackupTest, FirstExitWritesTheFileAndLeavesAnOldBackupAlone) {
    MakeBackup("from an earlier install", kNow - kDay);
    app.store().CurrentVideos = {{"v", "title"}};

    app.backups().SaveWithBackup();

    EXPECT_EQ(ReadFile(app.session().UserDataPath), Image("v"));
    EXPECT_EQ(ReadFile(backup), "from an earlier install");
}

TEST_F(BackupTest, StaleFreshCopyFromAnInterruptedSaveIsNotTakenAsBackup) {
    MakeBackup("good backup", kNow - kDay);
    WriteFile(freshCopy, "left over");
    app.backups().SaveWithBackup();  // no user data file yet: no fresh copy this time
    EXPECT_EQ(ReadFile(backup), "good backup");
}

TEST_F(BackupTest, SaveHappensWhenTheBackupFolderCannotBeUsed) {
    struct Case {
        const char* why;
        std::function<void()> block;
    };
    const Case cases[] = {
        {"a file in the way", [&] { WriteFile(backups.WithoutTrailingSlash(), "a file in the way"); }},
        // Another user could read or change what is put there.
        {"a link to somewhere else",
         [&] { fs::create_symlink((temp / "elsewhere").Bytes(), backups.WithoutTrailingSlash().Bytes()); }},
    };
    test::MakeFolders(temp / "elsewhere");
    test::MakeFolders(backups.WithoutTrailingSlash().Folder());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        fs::remove_all(backups.WithoutTrailingSlash().Bytes());
        platform.fakeUi.messages.clear();
        c.block();
        WriteFile(app.session().UserDataPath, Image("old"));
        app.store().CurrentVideos = {{"v", "title"}};
        app.backups().SaveWithBackup();
        EXPECT_EQ(ReadFile(app.session().UserDataPath), Image("v"));
        ASSERT_EQ(Texts().size(), 1u);
        EXPECT_EQ(Texts()[0].rfind("No backup of the .lum file was made", 0), 0u) << Texts()[0];
        EXPECT_TRUE(fs::is_empty((temp / "elsewhere").Bytes()));
    }
}

TEST_F(BackupTest, BackupsAreForTheirOwnerOnly) {
    WriteFile(app.session().UserDataPath, Image("old"));
    fs::permissions(app.session().UserDataPath.Bytes(), fs::perms(0600));
    app.store().CurrentVideos = {{"new", "title"}};
    app.backups().SaveWithBackup();
    EXPECT_EQ(fs::status(backups.Bytes()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(backup.Bytes()).permissions() & fs::perms::all, fs::perms(0600));
    EXPECT_EQ(fs::status(app.session().UserDataPath.Bytes()).permissions() & fs::perms::all, fs::perms(0600));
}

TEST_F(BackupTest, AFailedSaveSaysWhyAndWhereTheChangesAre) {
    WriteFile(app.session().UserDataPath, Image("old"));
    app.store().Notes = {{"n", std::string(10000, 'x')}};
    {
        test::FileSizeLimit limit(Image("old").size() + 200);
        app.backups().SaveWithBackup();
    }
    EXPECT_EQ(ReadFile(app.session().UserDataPath), Image("old"));
    EXPECT_FALSE(test::Exists(SavingPathFor(app.session().UserDataPath)));
    ASSERT_FALSE(Texts().empty());
    const std::string said = Texts().back();
    EXPECT_EQ(said.rfind("Your changes could not be saved to " + app.session().UserDataPath.Bytes() +
                             " (the file is larger than this system allows)",
                         0),
              0u)
        << said;
    EXPECT_EQ(platform.fakeUi.messages.back().icon, Icon::Stop);
    // The limit has gone when the copy is read back by the user.
    const std::size_t kept = said.find("Your changes were kept in ");
    if (kept == std::string::npos) {
        EXPECT_NE(said.find("could not be kept anywhere else"), std::string::npos);
    } else {
        const std::string rest = said.substr(kept + 26);
        const Path copy(rest.substr(0, rest.find('\n')));
        VideoStore reloaded;
        ASSERT_TRUE(reloaded.LoadUserData(copy)) << copy.Bytes();
        EXPECT_EQ(reloaded.Notes, app.store().Notes);
    }
}

TEST_F(BackupTest, NothingHappensWithoutUserDataPath) {
    app.session().UserDataPath = Path();
    app.backups().SaveWithBackup();
    EXPECT_FALSE(test::Exists(backups));
}

TEST_F(BackupTest, PruneDeletesOnlyExpiredBackups) {
    test::MakeFolders(backups);
    struct Case {
        std::string name;
        std::optional<std::int64_t> stamp;
        std::int64_t modified;
        bool kept;
    };
    const Case cases[] = {
        {"LumBackup_a.lum", kNow - 8 * kDay, kNow - 8 * kDay, false},
        {"LumBackup_b.lum", kNow - 6 * kDay, kNow - 30 * kDay, true},  // made recently of old data
        {"LumBackup_c.lum", std::nullopt, kNow - 8 * kDay, false},      // no stamp: modification time
        {"LumBackup_d.lum", std::nullopt, kNow - kDay, true},
        {"other.lum", std::nullopt, kNow - 30 * kDay, true},
        {"LumBackup_e.txt", std::nullopt, kNow - 30 * kDay, true},
        {"LumBackup_f.lum.made", std::nullopt, kNow - 30 * kDay, true},
    };
    for (const auto& c : cases) {
        WriteFile(backups / c.name, "x");
        SetModified(backups / c.name, c.modified);
        if (c.stamp) WriteFile(Path((backups / c.name).Bytes() + ".made"), std::to_string(*c.stamp));
    }
    test::MakeFolders(backups / "LumBackup_dir.lum");
    SetModified(backups / "LumBackup_dir.lum", kNow - 30 * kDay);

    PruneBackups(backups, kNow, 7);

    for (const auto& c : cases) {
        EXPECT_EQ(test::Exists(backups / c.name), c.kept) << c.name;
        if (c.stamp) {
            EXPECT_EQ(test::Exists(Path((backups / c.name).Bytes() + ".made")), c.kept) << c.name;
        }
    }
    EXPECT_TRUE(test::Exists(backups / "LumBackup_dir.lum"));
}

TEST_F(BackupTest, UserRestoreAsksThenRestoresAndRestarts) {
    WriteFile(app.session().UserDataPath, Image("current"));
    MakeBackup(Image("backup"), kNow);
    platform.fakeUi.answers = {Answer::No};
    EXPECT_FALSE(app.backups().RestoreBackup(false));
    EXPECT_EQ(ReadFile(app.session().UserDataPath), Image("current"));

    const std::string question =
        "There is a backup of the .lum file, with a last modified date:\n\nTuesday, November 14, 2023 at "
        "22:13\n\nIt was made from " +
        app.session().UserDataPath.Bytes() +
        "\n\nPlease note that restoring this backup will overwrite the current file, losing any changes made "
        "since the backup\n\nDo you want to restore the backup?";
    ASSERT_EQ(platform.fakeUi.messages.size(), 1u);
    EXPECT_EQ(platform.fakeUi.messages[0].text, question);
    EXPECT_EQ(platform.fakeUi.messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(platform.fakeUi.messages[0].buttons, Buttons::YesNo);

    platform.fakeUi.answers = {Answer::Yes};
    try {
        app.backups().RestoreBackup(false);
        FAIL() << "no restart";
    } catch (const ProcessReplaced& replaced) {
        EXPECT_EQ(replaced.program, "/opt/qen/QenRuntime");
        EXPECT_EQ(replaced.args, (std::vector<std::string>{"QenRuntime", app.session().UserDataPath.Bytes()}));
    }
    EXPECT_EQ(Texts().back(), "Backup restored successfully\n\nThe software will now restart");
    EXPECT_EQ(platform.fakeUi.messages.back().icon, Icon::Information);
    EXPECT_EQ(ReadFile(app.session().UserDataPath), Image("backup"));
    EXPECT_FALSE(test::Exists(backup));
    EXPECT_FALSE(test::Exists(app.session().WorkFolder));  // cleaned up before the restart

    // The restore used the backup up.
    test::MakeFolders(app.session().WorkFolder);
    EXPECT_TRUE(app.backups().RestoreBackup(false));
    EXPECT_EQ(Texts().back(), "There are no backups of the .lum file");
    EXPECT_EQ(platform.fakeUi.messages.back().icon, Icon::Information);
}

TEST_F(BackupTest, RestoreNeedsWorkFolderAndUserDataPath) {
    for (int which = 0; which < 2; ++which) {
        Application other(platform, platform.fakeFetcher, platform.fakeUi.Dialogs());
        other.session().WorkFolder = which == 0 ? Path() : app.session().WorkFolder;
        other.session().UserDataPath = which == 0 ? app.session().UserDataPath : Path();
        EXPECT_FALSE(other.backups().RestoreBackup(false));
        EXPECT_EQ(Texts().back(), "Error - unable to use backup feature at this time");
        EXPECT_EQ(platform.fakeUi.messages.back().icon, Icon::Information);
    }
}

TEST_F(BackupTest, FailedCopyKeepsTheProgramRunning) {
    MakeBackup(Image("backup"), kNow);
    app.session().UserDataPath = temp / "gone/site.lum";
    app.backups().RestoreFrom(backup);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Failed to copy the restore file\n\nSource: " + backup.Bytes() +
                                                "\n\nDestination: " + app.session().UserDataPath.Bytes()});
    EXPECT_EQ(platform.fakeUi.messages.back().icon, Icon::Stop);
    EXPECT_TRUE(test::Exists(backup));
    EXPECT_TRUE(test::Exists(app.session().WorkFolder));
}

TEST_F(BackupTest, FailedRestartEndsTheProcess) {
    MakeBackup(Image("backup"), kNow);
    platform.fakeSystem.replaceFails = true;
    try {
        app.backups().RestoreFrom(backup);
        FAIL() << "the process went on";
    } catch (const ProcessEnded& ended) {
        EXPECT_EQ(ended.code, 1);
    }
    EXPECT_EQ(Texts().back(), "Unable to restart the software\n\nThe software will now exit - please restart it yourself");
    EXPECT_EQ(platform.fakeUi.messages.back().icon, Icon::Stop);
    EXPECT_EQ(ReadFile(app.session().UserDataPath), Image("backup"));
}

std::string Unreadable(const Path& file, const std::string& why, const Path& aside) {
    return "Unable to load data from .lum file " + file.Bytes() + "\n\nIt is " + why +
           "\n\nThe file that could not be read was kept as " + aside.Bytes();
}

TEST_F(BackupTest, DamagedFileAtStartUpIsKeptAsideAndItsBackupOffered) {
    const std::string damaged = Image("current").substr(0, 30);
    const Path aside(app.session().UserDataPath.Bytes() + ".damaged-20231114-221320");
    const std::string offer = "There is a backup of this file, with a last modified date:\n\nMonday, November 13, 2023 "
                              "at 22:13\n\nIt was made from " +
                              app.session().UserDataPath.Bytes() + "\n\nDo you want to restore it?";
    WriteFile(app.session().UserDataPath, damaged);
    MakeBackup(Image("backup"), kNow - kDay);
    platform.fakeUi.answers = {Answer::Ok, Answer::Yes};
    EXPECT_THROW(app.LoadUserDataAtStartUp(), ProcessReplaced);
    ASSERT_EQ(Texts().size(), 3u);
    EXPECT_EQ(Texts()[0].substr(0, Texts()[0].find("\n\nIt is ")),
              "Unable to load data from .lum file " + app.session().UserDataPath.Bytes());
    EXPECT_NE(Texts()[0].find("\n\nIt is damaged at byte "), std::string::npos) << Texts()[0];
    EXPECT_NE(Texts()[0].find("\n\nThe file that could not be read was kept as " + aside.Bytes()), std::string::npos);
    EXPECT_EQ(Texts()[1], offer);
    EXPECT_EQ(platform.fakeUi.messages[1].icon, Icon::Question);
    EXPECT_EQ(platform.fakeUi.messages[1].buttons, Buttons::YesNo);
    EXPECT_EQ(Texts()[2], "Backup restored successfully\n\nThe software will now restart");
    EXPECT_EQ(ReadFile(app.session().UserDataPath), Image("backup"));
    EXPECT_EQ(ReadFile(aside), damaged);  // the restore did not write over it

    // Declined, start-up goes on without the user's data and the backup stays.
    platform.fakeUi.messages.clear();
    WriteFile(app.session().UserDataPath, damaged);
    MakeBackup(Image("backup"), kNow - kDay);
    platform.fakeUi.answers = {Answer::Ok, Answer::No};
    app.LoadUserDataAtStartUp();
    EXPECT_EQ(Texts().size(), 2u);
    EXPECT_TRUE(test::Exists(backup));
    EXPECT_TRUE(app.store().CurrentVideos.empty());
}

TEST_F(BackupTest, StartUpGoesOnWhenTheBackupIsDamagedToo) {
    WriteFile(app.session().UserDataPath, "junk");
    MakeBackup("junk too", kNow);
    platform.fakeUi.answers = {Answer::Ok, Answer::Yes};
    app.LoadUserDataAtStartUp();
    const Path aside(app.session().UserDataPath.Bytes() + ".damaged-20231114-221320");
    ASSERT_EQ(Texts().size(), 4u);
    EXPECT_EQ(Texts()[0], Unreadable(app.session().UserDataPath, "damaged at byte 4: count of current videos runs past the end of the file", aside));
    EXPECT_EQ(Texts()[3], "The software was unable to restore the backup file");
    EXPECT_EQ(platform.fakeUi.messages[3].icon, Icon::Information);
    EXPECT_EQ(ReadFile(aside), "junk");
    EXPECT_TRUE(app.store().CurrentVideos.empty());
}

// A damaged file is never saved over: it is kept aside, beside any kept earlier.
TEST_F(BackupTest, StartUpWithoutBackupKeepsTheDamagedFileAside) {
    const Path first(app.session().UserDataPath.Bytes() + ".damaged-20231114-221320");
    WriteFile(first, "damaged before");
    WriteFile(app.session().UserDataPath, "junk");
    app.LoadUserDataAtStartUp();
    const Path second(first.Bytes() + "-2");
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].substr(0, 35), "Unable to load data from .lum file ");
    EXPECT_NE(Texts()[0].find("kept as " + second.Bytes()), std::string::npos) << Texts()[0];
    EXPECT_EQ(ReadFile(first), "damaged before");
    EXPECT_EQ(ReadFile(second), "junk");
    EXPECT_FALSE(test::Exists(app.session().UserDataPath));

    // Leaving now saves a fresh file; the kept one stays as it was.
    app.session().ReadyToSave = true;
    app.Shutdown(0);
    EXPECT_EQ(ReadFile(second), "junk");
}

TEST_F(BackupTest, UserDataPathOfANumberedCopy) {
    WriteFile(temp / "data/kept_1.lum", "");
    const std::string d = (temp / "data/").Bytes();
    struct Case {
        std::string given, expected;
    };
    const Case cases[] = {
        {d + "site_3.lum", d + "site.lum"},
        {d + "site_42.lum", d + "site.lum"},
        {d + "site_a.lum", d + "site_a.lum"},
        {d + "site_123.lum", d + "site_123.lum"},
        {d + "kept_1.lum", d + "kept_1.lum"},  // its own file exists
        {"/x_1.lum", "/x_1.lum"},              // name too short
    };
    for (const auto& c : cases) EXPECT_EQ(AdjustUserDataPath(Path(c.given)), Path(c.expected)) << c.given;
}

TEST_F(BackupTest, BackupDialogChoices) {
    const std::string exitQuestion =
        "Exit the software without saving changes\n\nThis will discard any changes you have made to your "
        "playlist, notepad and diary\n\nDo you want to proceed?";
    auto& ui = platform.fakeUi;

    ui.backupChoices = {BackupChoice::Cancel};
    app.backups().ShowBackupDialog();
    EXPECT_TRUE(ui.messages.empty());

    ui.backupChoices = {BackupChoice::Restore};
    app.backups().ShowBackupDialog();
    EXPECT_EQ(Texts().back(), "There are no backups of the .lum file");

    ui.backupChoices = {BackupChoice::ExitWithoutSaving};
    ui.answers = {Answer::No};
    app.backups().ShowBackupDialog();
    EXPECT_EQ(ui.messages.back().text, exitQuestion);
    EXPECT_EQ(ui.messages.back().icon, Icon::None);
    EXPECT_EQ(ui.messages.back().buttons, Buttons::YesNo);

    app.session().ReadyToSave = true;
    app.store().CurrentVideos = {{"unsaved", ""}};
    ui.backupChoices = {BackupChoice::ExitWithoutSaving};
    ui.answers = {Answer::Yes};
    try {
        app.backups().ShowBackupDialog();
        FAIL() << "the process went on";
    } catch (const ProcessEnded& ended) {
        EXPECT_EQ(ended.code, 1);
    }
    EXPECT_FALSE(test::Exists(app.session().UserDataPath));
    EXPECT_EQ(ui.backupDialogsShown, 4);
}

TEST_F(BackupTest, ShutdownSavesOnlyWhenReady) {
    app.store().CurrentVideos = {{"v", "title"}};
    EXPECT_EQ(app.Shutdown(3), 3);
    EXPECT_FALSE(test::Exists(app.session().UserDataPath));

    Application ready(platform, platform.fakeFetcher, platform.fakeUi.Dialogs());
    ready.session().WorkFolder = temp / "lumfiles__1700000000/";
    test::MakeFolders(ready.session().WorkFolder);
    ready.session().UserDataPath = app.session().UserDataPath;
    ready.store().CurrentVideos = {{"v", "title"}};
    ready.session().ReadyToSave = true;
    ready.Shutdown(0);
    EXPECT_EQ(ReadFile(app.session().UserDataPath), Image("v"));
}

}  // namespace
}  // namespace qen
