#include "app/Application.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "app/CommandLine.h"
#include "app/FileTypes.h"
#include "app/Terms.h"
#include "app/UserDataLocation.h"
#include "app/WorkFolder.h"
#include "base/PageNames.h"
#include "files/FileIO.h"
#include "files/FileMessages.h"
#include "notes/Diary.h"
#include "notes/Notepad.h"
#include "package/OpenPackage.h"
#include "update/HandOver.h"
#include "update/VersionCheck.h"
#include "view/ZoomRules.h"
#include "web/Endpoints.h"
#include "web/ExternalBrowser.h"

namespace qen {

namespace {

constexpr const char* kWaitingPage =
    "<DIV align=center><FONT face=Verdana size=3><BR><BR><BR><BR><BR>Loading Data - Please Wait</DIV>";

// A settings name ending in " Plumtreegallant" keeps its settings under the name without it.
std::string SectionName(std::string settingsName) {
    constexpr std::string_view kSuffix = " Plumtreegallant";
    if (settingsName.size() >= kSuffix.size() &&
        std::string_view(settingsName).substr(settingsName.size() - kSuffix.size()) == kSuffix)
        settingsName.resize(settingsName.size() - kSuffix.size());
    return settingsName;
}

}  // namespace

Application::Application(Platform& platform, Fetcher& fetcher, FeatureDialogs dialogs)
    : platform_(platform),
      fetcher_(fetcher),
      dialogs_(dialogs),
      videos_(platform.ui(), dialogs.latestVideos, fetcher, store_, platform.settings(), site_),
      articles_(platform.ui(), fetcher, store_, platform.settings(), site_),
      backups_(platform.ui(), dialogs.backup, platform.system(), store_, session_, [this] { CleanUp(); }),
      view_(platform, dialogs.notes, dialogs.address, dialogs.zoom, session_, site_, store_, fetcher, videos_, articles_, *this) {}

bool Application::Start(const std::vector<std::string>& args) {
    Ui& ui = platform_.ui();
    Settings& settings = platform_.settings();
    System& system = platform_.system();

    commandLineFile_ = CommandLineFile(args);
    session_.ExePath = system.ExecutablePath();

    // The package: inside the program, named on the command line, beside it, or chosen.
    Path chosenFolder;
    if (!OpenPackage(ui, settings, session_.ExePath, commandLineFile_, package_, session_.UserDataPath, &chosenFolder))
        return false;
    session_.ProductKey = SectionName(package_.SettingsName);
    if (!package_.Title.empty()) ui.SetApplicationName(package_.Title);
    session_.UserDataPath = AdjustUserDataPath(session_.UserDataPath);
    if (!LockUserData()) return false;

    const bool embedded = package_.Embedded;
    const TermsAnswer terms = EnsureTermsAccepted(ui, dialogs_.terms, settings, session_.ProductKey, embedded);
    if (terms == TermsAnswer::Declined) {
        userDataLock_.reset();
        system.ExitNow(1);
    }
    const bool termsJustAccepted = terms == TermsAnswer::AcceptedNow;
    // Nothing is written to the settings before the terms are accepted.
    RememberPackageFolder(settings, chosenFolder);

    if (Outcome branding = package_.ReadBranding(); !branding) {
        ui.ShowMessage(branding.Message(), Icon::Stop);
        return false;
    }

    session_.ZoomPercent = settings.GetInt(session_.ProductKey, "Zoom", 100);
    // A hand-edited setting outside the dialog's range never reaches the view.
    if (session_.ZoomPercent < kMinZoom || session_.ZoomPercent > kMaxZoom) session_.ZoomPercent = 100;

    MainView* window = platform_.CreateMainWindow(view_);
    if (!window) return false;
    view_.Attach(window);

    if (!CreateWorkFolder()) return false;
    ShowWaitingPage();

    if (Outcome built = site_.BuildSite(package_, session_.WorkFolder); !built) {
        ui.ShowMessage(built.Message(), Icon::Stop);
        AbandonSite();
        return false;
    }
    store_.ExcludedWords = site_.ExcludedWords;
    UsePackageEndpoints(site_.PackageEndpoints);

    LoadUserDataAtStartUp();

    if (!WriteNotepadPage(ui, store_, site_)) return false;
    if (!WriteDiaryPage(ui, system, store_, site_)) return false;

    session_.HomePage = session_.WorkFolder / page::kHelp;
    // With videos stored, the gallery is built now and becomes the home page.
    if (!store_.CurrentVideos.empty()) videos_.ShowVideoPages(session_.HomePage);

    if (site_.Niche.empty()) {
        ui.ShowMessage("No SiteNiche.txt file found in package", Icon::Stop);
        AbandonSite();
        return false;
    }
    if (!package_.Title.empty()) window->SetTitle(package_.Title);

    // The very first start shows the help page, whatever the home page is.
    window->Navigate(termsJustAccepted ? (session_.WorkFolder / page::kHelp).Bytes() : session_.HomePage.Bytes());
    view_.menu().ApplyZoom(session_.ZoomPercent);
    // Behind the first page: the file types are rarely out of date, and nothing on the
    // way to the page depends on them.
    if (!embedded) RegisterFileTypes(system, session_.ExePath);
    session_.ReadyToSave = true;
    RemoveLeftovers();
    return CheckForUpdate();
}

bool Application::CheckForUpdate() {
    Ui& ui = platform_.ui();
    System& system = platform_.system();
    if (!CheckForNewVersion(ui, platform_.settings(), system, fetcher_, package_)) {
        RemoveLeftoverReplacer(session_.ExePath, package_.Embedded);
        return true;
    }
    // The new program is in place: the user's data is saved before the program hands over,
    // so nothing done while the update downloaded is lost.
    backups_.SaveWithBackup();
    session_.ReadyToSave = false;
    CleanUp();
    session_.WorkFolder = Path();
    HandOverToReplacer(ui, system, session_.ExePath, package_.Embedded, commandLineFile_);
    return false;  // the replacer could not start; its message has been shown
}

bool Application::LockUserData() {
    if (FileLock::Acquire(session_.UserDataPath, userDataLock_) != FileLock::Result::HeldElsewhere) return true;
    // The other window saves at its exit; this one would save over its changes.
    platform_.ui().ShowMessage(session_.UserDataPath.Display() + " is already open in another window", Icon::Stop);
    return false;
}

// What runs that were killed left behind: their work folders, and a save of this user data
// file that was cut short (the lock says no other run is saving it now).
void Application::RemoveLeftovers() {
    if (std::optional<Path> temp = platform_.system().TempFolder())
        RemoveLeftoverWorkFolders(*temp, platform_.system());
    std::error_code ignored;
    std::filesystem::remove(SavingPathFor(session_.UserDataPath).Bytes(), ignored);
}

bool Application::CreateWorkFolder() {
    Ui& ui = platform_.ui();
    std::optional<Path> temp = platform_.system().TempFolder();
    if (!temp) {
        ui.ShowMessage("Error - unable to determine the temporary folder", Icon::Stop);
        return false;
    }
    std::optional<Path> folder = MakeWorkFolder(*temp, platform_.system().Now(), platform_.system().ProcessId());
    if (!folder) {
        ui.ShowMessage("Error - unable to create TEMP folder", Icon::Stop);
        return false;
    }
    session_.WorkFolder = *folder;
    return true;
}

void Application::ShowWaitingPage() {
    MainView* window = view_.window();
    window->SetSilent(true);
    const Path page = session_.WorkFolder / page::kWaiting;
    WriteWholeFile(platform_.ui(), page, kWaitingPage);
    window->Navigate(page.Bytes());
    window->BringToFront();
}

void Application::LoadUserDataAtStartUp() {
    Ui& ui = platform_.ui();
    Outcome loaded = store_.LoadUserData(session_.UserDataPath);
    if (loaded) return;
    // Kept aside first: neither a restore nor a save may ever write over it.
    const std::string stamp = platform_.system().FormatLocalTime(platform_.system().Now(), "%Y%m%d-%H%M%S");
    std::string message = loaded.Message();
    if (std::optional<Path> aside = KeepDamagedFileAside(session_.UserDataPath, stamp))
        message += "\n\nThe file that could not be read was kept as " + aside->Display();
    ui.ShowMessage(message, Icon::Stop);
    backups_.RestoreBackup(true);
}

int Application::Shutdown(int frameworkExitCode) {
    if (session_.ReadyToSave) backups_.SaveWithBackup();
    CleanUp();
    return frameworkExitCode;
}

// Every way out of a run passes here (a normal end, Exit Without Saving, the restart after a
// restore, the hand-over to an update), so each lets go of what the run made.
void Application::CleanUp() {
    for (ProcessHandle handle : launchedPrograms_) platform_.system().WaitForProgram(handle);
    launchedPrograms_.clear();
    userDataLock_.reset();
    // A run that made no work folder opened no page in the user's browser either.
    if (session_.WorkFolder.Empty()) return;
    RemoveRedirectPage(platform_.system());
    site_.RemoveGeneratedFiles(store_.VideoPageCount, store_.PlaylistPageCount);
    RemoveWorkFolderTree(session_.WorkFolder);
}

// A start-up that fails once the site is built leaves nothing behind in the work folder.
void Application::AbandonSite() {
    site_.RemoveGeneratedFiles(store_.VideoPageCount, store_.PlaylistPageCount);
    RemoveWorkFolderTree(session_.WorkFolder);
    session_.WorkFolder = Path();
}

void Application::ExitWithoutSaving() {
    CleanUp();
    platform_.system().ExitNow(1);
}

void Application::AddLaunchedProgram(ProcessHandle handle) {
    if (launchedPrograms_.size() < kMaxLaunchedPrograms) launchedPrograms_.push_back(handle);
}

}  // namespace qen
