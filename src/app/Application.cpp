#include "app/Application.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "app/CommandLine.h"
#include "app/FileTypes.h"
#include "app/OpenPackage.h"
#include "app/Terms.h"
#include "app/UserDataLocation.h"
#include "app/WorkFolder.h"
#include "base/PageNames.h"
#include "files/FileIO.h"
#include "messages/FileMessages.h"
#include "notes/Diary.h"
#include "notes/Notepad.h"
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
      view_(platform, dialogs.notes, dialogs.address, dialogs.zoom, session_, site_, store_, fetcher, videos_,
            articles_, *this) {}

bool Application::Start(const std::vector<std::string>& args) {
    Ui& ui = platform_.ui();
    Settings& settings = platform_.settings();
    System& system = platform_.system();

    commandLineFile_ = CommandLineFile(args);
    session_.ExePath = system.ExecutablePath();

    // The package: inside the program, named on the command line, beside it, or chosen.
    // From here the worker reads and checks it, and builds the site, while this thread
    // goes on; each of its outcomes is shown where start-up always showed it.
    Path chosenFolder;
    const std::optional<PackageSource> source =
        LocatePackage(ui, settings, session_.ExePath, commandLineFile_, package_, &chosenFolder);
    if (!source) return false;
    packageWork_.Start(*source, package_, site_);
    if (!PackageStepPassed(PackageWork::Step::Opened)) return false;
    session_.UserDataPath = UserDataPathOf(*source);
    session_.ProductKey = SectionName(package_.SettingsName);
    if (!package_.Title.empty()) ui.SetApplicationName(package_.Title);
    session_.UserDataPath = AdjustUserDataPath(session_.UserDataPath);
    if (!LockUserData()) return false;

    const bool embedded = package_.Embedded;
    // The terms dialog follows every word about the package's content.
    if (!TermsAcceptedBefore(settings, session_.ProductKey) && !PackageStepPassed(PackageWork::Step::Verified))
        return false;
    const TermsAnswer terms = EnsureTermsAccepted(ui, dialogs_.terms, settings, session_.ProductKey, embedded);
    if (terms == TermsAnswer::Declined) {
        packageWork_.Stop();
        userDataLock_.reset();
        system.ExitNow(1);
    }
    const bool termsJustAccepted = terms == TermsAnswer::AcceptedNow;
    // Nothing is written to the settings before the terms are accepted.
    RememberPackageFolder(settings, chosenFolder);

    // A fault of the branding is told after any of the content.
    if (!packageWork_.Wait(PackageWork::Step::Branding)) {
        if (PackageStepPassed(PackageWork::Step::Verified)) PackageStepPassed(PackageWork::Step::Branding);
        return false;
    }

    session_.ZoomPercent = settings.GetInt(session_.ProductKey, "Zoom", 100);
    // A hand-edited setting outside the dialog's range never reaches the view.
    if (session_.ZoomPercent < kMinZoom || session_.ZoomPercent > kMaxZoom) session_.ZoomPercent = 100;

    // The site is asked for first, so that it is built while the window is made; a fault
    // of the folder is told where it always was, once the window exists.
    const Outcome folder = CreateWorkFolder();
    bool waitingPageWritten = false;
    if (folder) {
        // Written before the site, so a member of the same name still takes its place.
        waitingPageWritten = WriteWholeFile(session_.WorkFolder / page::kWaiting, kWaitingPage);
        packageWork_.BuildSite(session_.WorkFolder);
    }

    // The window, and with it the browser's own processes, start while the package is
    // checked and the site built; it is shown only once the package passed.
    MainView* window = platform_.CreateMainWindow(view_);
    if (!window) {
        PackageStepPassed(PackageWork::Step::Verified);
        return false;
    }
    view_.Attach(window);

    if (!PackageStepPassed(PackageWork::Step::Verified)) {
        AbandonSite();
        return false;
    }
    if (!folder) {
        window->BringToFront();
        ui.ShowMessage(folder.Message(), Icon::Stop);
        return false;
    }
    if (!waitingPageWritten)
        ui.ShowFormattedError("Failed to write file %s", (session_.WorkFolder / page::kWaiting).Display());
    ShowWaitingPage();

    if (!PackageStepPassed(PackageWork::Step::Built)) {
        AbandonSite();
        return false;
    }
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
    if (!PackageStepPassed(PackageWork::Step::Verified)) return false;
    // The other window saves at its exit; this one would save over its changes.
    platform_.ui().ShowMessage(session_.UserDataPath.Display() + " is already open in another window", Icon::Stop);
    return false;
}

// What runs that were killed left behind: their work folders, and a save of this user data
// file that was cut short (the lock says no other run is saving it now).
void Application::RemoveLeftovers() {
    if (std::optional<Path> temp = platform_.system().TempFolder())
        RemoveLeftoverWorkFolders(*temp, platform_.system());
    RemoveFile(SavingPathFor(session_.UserDataPath));
}

Outcome Application::CreateWorkFolder() {
    std::optional<Path> temp = platform_.system().TempFolder();
    if (!temp) return Outcome::Failure("Error - unable to determine the temporary folder");
    std::optional<Path> folder = MakeWorkFolder(*temp, platform_.system().Now(), platform_.system().ProcessId());
    if (!folder) return Outcome::Failure("Error - unable to create TEMP folder");
    session_.WorkFolder = *folder;
    return Outcome::Success();
}

bool Application::PackageStepPassed(PackageWork::Step step) {
    const Outcome outcome = packageWork_.Wait(step);
    if (!outcome) platform_.ui().ShowMessage(outcome.Message(), Icon::Stop);
    return outcome.Ok();
}

void Application::ShowWaitingPage() {
    MainView* window = view_.window();
    window->SetSilent(true);
    window->Navigate((session_.WorkFolder / page::kWaiting).Bytes());
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
    packageWork_.Stop();
    for (ProcessHandle handle : launchedPrograms_) platform_.system().WaitForProgram(handle);
    launchedPrograms_.clear();
    userDataLock_.reset();
    // A run that made no work folder opened no page in the user's browser either.
    if (session_.WorkFolder.Empty()) return;
    RemoveRedirectPage(platform_.system());
    site_.RemoveGeneratedFiles(videos_.RunState().VideoPageCount, videos_.RunState().PlaylistPageCount);
    RemoveWorkFolderTree(session_.WorkFolder);
}

// A start-up that fails once the site is built leaves nothing behind in the work folder.
void Application::AbandonSite() {
    packageWork_.Stop();
    site_.RemoveGeneratedFiles(videos_.RunState().VideoPageCount, videos_.RunState().PlaylistPageCount);
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
