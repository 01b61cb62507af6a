#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "app/Backup.h"
#include "app/CVantlowApp.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"
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

void SetModified(const std::string& path, std::int64_t seconds) {
    fs::last_write_time(path, std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{seconds}}));
}

std::int64_t Modified(const std::string& path) {
    auto sys = std::chrono::file_clock::to_sys(fs::last_write_time(path));
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
    FakePlatform platform;
    CVantlowApp app{platform};
    std::string backups = temp / "LumFileBackups/";
    std::string backup = backups + "LumBackup_site.lum";

    void SetUp() override {
        platform.fakeSystem.now = kNow;
        platform.fakeSystem.tempFolder = temp.path();
        fs::create_directories(temp / "lumfiles__1700000000");
        fs::create_directories(temp / "data");
        app.WorkFolder = temp / "lumfiles__1700000000/";
        app.UserDataPath = temp / "data/site.lum";
        app.ExePath = "/opt/qen/QenRuntime";
    }

    void MakeBackup(const std::string& bytes, std::int64_t modified) {
        fs::create_directories(backups);
        WriteFile(backup, bytes);
        SetModified(backup, modified);
    }

    std::vector<std::string> Texts() const { return platform.fakeUi.Texts(); }
};

TEST_F(BackupTest, BackupFolderLiesBesideTheWorkFolder) {
    EXPECT_EQ(BackupFolder("/tmp/lumfiles__5/"), "/tmp/LumFileBackups/");
    EXPECT_EQ(BackupFolder("C:\\Temp\\lumfiles__5\\"), "C:\\Temp\\LumFileBackups/");
    EXPECT_EQ(BackupFolder(""), "");
}

TEST_F(BackupTest, ChangedFileKeepsThePreviousStateAsBackup) {
    WriteFile(app.UserDataPath, Image("old"));
    SetModified(app.UserDataPath, kNow - 3 * kDay);
    MakeBackup("older backup", kNow - 4 * kDay);
    app.store.CurrentVideos = {{"new", "title"}};

    SaveWithBackup(app);

    EXPECT_EQ(ReadFile(app.UserDataPath), Image("new"));
    EXPECT_EQ(ReadFile(backup), Image("old"));
    EXPECT_EQ(Modified(backup), kNow - 3 * kDay);  // shown date: the last write of the data
    EXPECT_EQ(BackupMadeTime(backup), kNow);        // retention: when the copy was made
    EXPECT_FALSE(fs::exists(backups + "LumBackup_site_new.lum"));
    EXPECT_EQ(app.BackupPath, backup);
    EXPECT_TRUE(app.NewBackupPath.empty());
    EXPECT_TRUE(Texts().empty());
}

TEST_F(BackupTest, UnchangedFileKeepsTheEarlierBackup) {
    WriteFile(app.UserDataPath, Image("same"));
    MakeBackup("earlier", kNow - 2 * kDay);
    app.store.CurrentVideos = {{"same", "title"}};

    SaveWithBackup(app);

    EXPECT_EQ(ReadFile(backup), "earlier");
    EXPECT_EQ(Modified(backup), kNow - 2 * kDay);
    EXPECT_FALSE(fs::exists(backups + "LumBackup_site_new.lum"));
    EXPECT_FALSE(fs::exists(backups + "LumBackup_site_new.lum.made"));
}

TEST_F(BackupTest, FirstExitWritesTheFileAndLeavesAnOldBackupAlone) {
    MakeBackup("from an earlier install", kNow - kDay);
    app.store.CurrentVideos = {{"v", "title"}};

    SaveWithBackup(app);

    EXPECT_EQ(ReadFile(app.UserDataPath), Image("v"));
    EXPECT_EQ(ReadFile(backup), "from an earlier install");
}

TEST_F(BackupTest, StaleFreshCopyFromAnInterruptedSaveIsNotTakenAsBackup) {
    MakeBackup("good backup", kNow - kDay);
    WriteFile(backups + "LumBackup_site_new.lum", "left over");
    SaveWithBackup(app);  // no user data file yet: no fresh copy this time
    EXPECT_EQ(ReadFile(backup), "good backup");
}

TEST_F(BackupTest, SaveHappensWhenTheBackupFolderCannotBeMade) {
    WriteFile(temp / "LumFileBackups", "a file in the way");
    app.store.CurrentVideos = {{"v", "title"}};
    SaveWithBackup(app);
    EXPECT_EQ(ReadFile(app.UserDataPath), Image("v"));
    EXPECT_TRUE(Texts().empty());
}

TEST_F(BackupTest, NothingHappensWithoutUserDataPath) {
    app.UserDataPath.clear();
    SaveWithBackup(app);
    EXPECT_FALSE(fs::exists(backups));
}

TEST_F(BackupTest, PruneDeletesOnlyExpiredBackups) {
    fs::create_directories(backups);
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
        WriteFile(backups + c.name, "x");
        SetModified(backups + c.name, c.modified);
        if (c.stamp) WriteFile(backups + c.name + ".made", std::to_string(*c.stamp));
    }
    fs::create_directories(backups + "LumBackup_dir.lum");
    SetModified(backups + "LumBackup_dir.lum", kNow - 30 * kDay);

    PruneBackups(platform.fakeSystem, backups, 7);

    for (const auto& c : cases) {
        EXPECT_EQ(fs::exists(backups + c.name), c.kept) << c.name;
        if (c.stamp) {
            EXPECT_EQ(fs::exists(backups + c.name + ".made"), c.kept) << c.name;
        }
    }
    EXPECT_TRUE(fs::exists(backups + "LumBackup_dir.lum"));
}

TEST_F(BackupTest, UserRestoreAsksThenRestoresAndRestarts) {
    WriteFile(app.UserDataPath, Image("current"));
    MakeBackup(Image("backup"), kNow);
    platform.fakeUi.answers = {Answer::No};
    EXPECT_FALSE(RestoreBackup(app, false));
    EXPECT_EQ(ReadFile(app.UserDataPath), Image("current"));

    const std::string question =
        "There is a backup of the .lum file, with a last modified date:\n\nTuesday, November 14, 2023 at "
        "22:13\n\nPlease note that restoring this backup will overwrite the current file, losing any changes made "
        "since the backup\n\nDo you want to restore the backup?";
    ASSERT_EQ(platform.fakeUi.messages.size(), 1u);
    EXPECT_EQ(platform.fakeUi.messages[0].text, question);
    EXPECT_EQ(platform.fakeUi.messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(platform.fakeUi.messages[0].buttons, Buttons::YesNo);

    platform.fakeUi.answers = {Answer::Yes};
    try {
        RestoreBackup(app, false);
        FAIL() << "no restart";
    } catch (const ProcessReplaced& replaced) {
        EXPECT_EQ(replaced.program, "/opt/qen/QenRuntime");
        EXPECT_EQ(replaced.args, (std::vector<std::string>{"QenRuntime", app.UserDataPath}));
    }
    EXPECT_EQ(Texts().back(), "Backup restored successfully\n\nThe software will now restart");
    EXPECT_EQ(platform.fakeUi.messages.back().icon, Icon::Information);
    EXPECT_EQ(ReadFile(app.UserDataPath), Image("backup"));
    EXPECT_FALSE(fs::exists(backup));
    EXPECT_FALSE(fs::exists(app.WorkFolder));  // cleaned up before the restart

    // The restore used the backup up.
    fs::create_directories(app.WorkFolder);
    EXPECT_TRUE(RestoreBackup(app, false));
    EXPECT_EQ(Texts().back(), "There are no backups of the .lum file");
    EXPECT_EQ(platform.fakeUi.messages.back().icon, Icon::Information);
}

TEST_F(BackupTest, RestoreNeedsWorkFolderAndUserDataPath) {
    for (int which = 0; which < 2; ++which) {
        CVantlowApp other(platform);
        other.WorkFolder = which == 0 ? "" : app.WorkFolder;
        other.UserDataPath = which == 0 ? app.UserDataPath : "";
        EXPECT_FALSE(RestoreBackup(other, false));
        EXPECT_EQ(Texts().back(), "Error - unable to use backup feature at this time");
        EXPECT_EQ(platform.fakeUi.messages.back().icon, Icon::Information);
    }
}

TEST_F(BackupTest, FailedCopyKeepsTheProgramRunning) {
    MakeBackup(Image("backup"), kNow);
    app.UserDataPath = temp / "gone/site.lum";
    RestoreFrom(app, backup);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Failed to copy the restore file\n\nSource: " + backup +
                                                "\n\nDestination: " + app.UserDataPath});
    EXPECT_EQ(platform.fakeUi.messages.back().icon, Icon::Stop);
    EXPECT_TRUE(fs::exists(backup));
    EXPECT_TRUE(fs::exists(app.WorkFolder));
}

TEST_F(BackupTest, FailedRestartEndsTheProcess) {
    MakeBackup(Image("backup"), kNow);
    platform.fakeSystem.replaceFails = true;
    try {
        RestoreFrom(app, backup);
        FAIL() << "the process went on";
    } catch (const ProcessEnded& ended) {
        EXPECT_EQ(ended.code, 1);
    }
    EXPECT_EQ(Texts().back(), "Unable to restart the software\n\nThe software will now exit - please restart it yourself");
    EXPECT_EQ(platform.fakeUi.messages.back().icon, Icon::Stop);
    EXPECT_EQ(ReadFile(app.UserDataPath), Image("backup"));
}

TEST_F(BackupTest, DamagedFileAtStartUpIsRestoredFromTheBackupAndRestarts) {
    const std::string damaged = Image("current").substr(0, 30);
    WriteFile(app.UserDataPath, damaged);
    MakeBackup(Image("backup"), kNow - kDay);
    EXPECT_THROW(LoadUserDataAtStartUp(app), ProcessReplaced);
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "Unable to load data from .lum file",
                           "There is a backup of this file, with a last modified date:\n\nMonday, November 13, 2023 "
                           "at 22:13\n\nThe software will now attempt to restore it",
                           "Backup restored successfully\n\nThe software will now restart"}));
    EXPECT_EQ(platform.fakeUi.messages[1].icon, Icon::Information);
    EXPECT_EQ(ReadFile(app.UserDataPath), Image("backup"));
}

TEST_F(BackupTest, StartUpGoesOnWhenTheBackupIsDamagedToo) {
    WriteFile(app.UserDataPath, "junk");
    MakeBackup("junk too", kNow);
    LoadUserDataAtStartUp(app);
    ASSERT_EQ(Texts().size(), 4u);
    EXPECT_EQ(Texts()[3], "The software was unable to restore the backup file");
    EXPECT_EQ(platform.fakeUi.messages[3].icon, Icon::Information);
    EXPECT_EQ(ReadFile(app.UserDataPath), "junk");
    EXPECT_TRUE(app.store.CurrentVideos.empty());
}

TEST_F(BackupTest, StartUpWithoutBackupShowsOnlyTheLoadMessage) {
    WriteFile(app.UserDataPath, "junk");
    LoadUserDataAtStartUp(app);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Unable to load data from .lum file"});
}

TEST_F(BackupTest, UserDataPathOfANumberedCopy) {
    WriteFile(temp / "data/kept_1.lum", "");
    const std::string d = temp / "data/";
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
    for (const auto& c : cases) EXPECT_EQ(AdjustUserDataPath(c.given), c.expected) << c.given;
}

TEST_F(BackupTest, BackupDialogChoices) {
    const std::string exitQuestion =
        "Exit the software without saving changes\n\nThis will discard any changes you have made to your "
        "playlist, notepad and diary\n\nDo you want to proceed?";
    auto& ui = platform.fakeUi;

    ui.backupChoices = {BackupChoice::Cancel};
    ShowBackupDialog(app);
    EXPECT_TRUE(ui.messages.empty());

    ui.backupChoices = {BackupChoice::Restore};
    ShowBackupDialog(app);
    EXPECT_EQ(Texts().back(), "There are no backups of the .lum file");

    ui.backupChoices = {BackupChoice::ExitWithoutSaving};
    ui.answers = {Answer::No};
    ShowBackupDialog(app);
    EXPECT_EQ(ui.messages.back().text, exitQuestion);
    EXPECT_EQ(ui.messages.back().icon, Icon::None);
    EXPECT_EQ(ui.messages.back().buttons, Buttons::YesNo);

    app.ReadyToSave = true;
    app.store.CurrentVideos = {{"unsaved", ""}};
    ui.backupChoices = {BackupChoice::ExitWithoutSaving};
    ui.answers = {Answer::Yes};
    try {
        ShowBackupDialog(app);
        FAIL() << "the process went on";
    } catch (const ProcessEnded& ended) {
        EXPECT_EQ(ended.code, 1);
    }
    EXPECT_FALSE(fs::exists(app.UserDataPath));
    EXPECT_EQ(ui.backupDialogsShown, 4);
}

TEST_F(BackupTest, ShutdownSavesOnlyWhenReady) {
    app.store.CurrentVideos = {{"v", "title"}};
    EXPECT_EQ(app.ExitInstance(3), 3);
    EXPECT_FALSE(fs::exists(app.UserDataPath));

    CVantlowApp ready(platform);
    ready.WorkFolder = temp / "lumfiles__1700000000/";
    fs::create_directories(ready.WorkFolder);
    ready.UserDataPath = app.UserDataPath;
    ready.store.CurrentVideos = {{"v", "title"}};
    ready.ReadyToSave = true;
    ready.ExitInstance(0);
    EXPECT_EQ(ReadFile(app.UserDataPath), Image("v"));
}

}  // namespace
}  // namespace qen
