#pragma once
// The application object: start-up, shutdown and the fields the rest of the program reads.
#include <memory>
#include <string>
#include <vector>

#include "package/ContentSite.h"
#include "platform/Platform.h"
#include "view/CVantlowView.h"
#include "store/VideoStore.h"

namespace qen {

class CVantlowApp {
public:
    explicit CVantlowApp(Platform& platform);
    ~CVantlowApp();
    CVantlowApp(const CVantlowApp&) = delete;
    CVantlowApp& operator=(const CVantlowApp&) = delete;

    // Start-up; `args` are the program's arguments as the system gave them (args[0] first).
    // False ends the program; ExitInstance still runs.
    bool InitInstance(const std::vector<std::string>& args);
    // Shutdown; gives the exit code the framework's own shutdown produced.
    int ExitInstance(int frameworkExitCode);

    // Waits for launched programs, then removes the generated files and the work folder.
    void CleanUp();
    [[noreturn]] void ExitWithoutSaving();
    void AddLaunchedProgram(ProcessHandle handle);

    Platform& platform() { return platform_; }
    Ui& ui() { return platform_.ui(); }
    Settings& settings() { return platform_.settings(); }
    System& system() { return platform_.system(); }
    CVantlowView& view() { return view_; }

    bool ReadyToSave = false;
    bool VideoPagesBuilt = false;
    bool PlaylistPagesBuilt = false;
    int ZoomPercent = 100;
    std::string NewBackupPath;
    std::string BackupPath;
    std::string ExePath;
    std::string HomePage;
    std::string WorkFolder;  // ends in "/" once created
    std::string ProductKey;
    std::vector<ProcessHandle> LaunchedPrograms;
    std::string UserDataPath;
    VideoStore store;  // all user data; loaded at start-up, saved at exit
    ContentSite site;  // the opened package, its branding and the site built from it

    static constexpr std::size_t kMaxLaunchedPrograms = 200;

private:
    bool CreateWorkFolder();
    void ShowWaitingPage();
    void RemoveWorkFolder();
    void AbandonSite();

    Platform& platform_;
    CVantlowView view_;
};

}  // namespace qen
