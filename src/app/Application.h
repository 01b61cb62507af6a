#pragma once
// The application: start-up and shutdown, and the parts of the program it owns for the
// whole run — the package, the site built from it, the user's data and the main view.
#include <optional>
#include <string>
#include <vector>

#include "app/Backups.h"
#include "app/FeatureDialogs.h"
#include "app/PackageWork.h"
#include "articles/ArticleLibrary.h"
#include "base/Session.h"
#include "files/FileLock.h"
#include "package/ContentPackage.h"
#include "package/ContentSite.h"
#include "platform/Platform.h"
#include "store/VideoStore.h"
#include "view/ApplicationControl.h"
#include "videos/VideoCatalogue.h"
#include "view/BrowserView.h"
#include "web/Fetcher.h"

namespace qen {

class Application : public ApplicationControl {
public:
    static constexpr std::size_t kMaxLaunchedPrograms = 200;

    // Every download goes through `fetcher`, which must outlive the application.
    Application(Platform& platform, Fetcher& fetcher, FeatureDialogs dialogs);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // `args` are the program's arguments as the system gave them (args[0] first).
    // False ends the program; Shutdown still runs.
    bool Start(const std::vector<std::string>& args);
    // Saves the user's data (once start-up has shown the first page) and cleans up; gives
    // the exit code the framework's own shutdown produced.
    int Shutdown(int frameworkExitCode);

    // Start-up: loads the store; a failed load offers the backup, which restarts the program
    // when it is restored, and otherwise keeps the damaged file aside.
    void LoadUserDataAtStartUp();

    // Waits for launched programs, then removes the generated files and the work folder.
    void CleanUp();
    [[noreturn]] void ExitWithoutSaving();

    void AddLaunchedProgram(ProcessHandle handle) override;
    void RunBackupCommand() override { backups_.ShowBackupDialog(); }

    Session& session() { return session_; }
    ContentPackage& package() { return package_; }
    ContentSite& site() { return site_; }
    VideoStore& store() { return store_; }
    Backups& backups() { return backups_; }
    VideoCatalogue& videos() { return videos_; }
    ArticleLibrary& articles() { return articles_; }
    BrowserView& view() { return view_; }

private:
    Outcome CreateWorkFolder();
    // Waits for the package's step and shows its failure; false ends start-up.
    bool PackageStepPassed(PackageWork::Step step);
    void ShowWaitingPage();
    void AbandonSite();
    // Takes the user data file for this run; false when another window has it open.
    bool LockUserData();
    void RemoveLeftovers();

    // Ends start-up after the first page: the daily version check, and the hand-over to
    // the replacer when an update was installed. False when start-up is to end.
    bool CheckForUpdate();

    Platform& platform_;
    Fetcher& fetcher_;
    FeatureDialogs dialogs_;
    Path commandLineFile_;  // given again to the program that an update brings back
    Session session_;
    ContentPackage package_;
    ContentSite site_;
    VideoStore store_;
    VideoCatalogue videos_;
    ArticleLibrary articles_;
    std::vector<ProcessHandle> launchedPrograms_;
    std::optional<FileLock> userDataLock_;
    Backups backups_;
    BrowserView view_;
    // Declared last, so it ends before the package and the site it works on go.
    PackageWork packageWork_;
};

}  // namespace qen
