#include "app/CVantlowApp.h"

#include <string_view>

#include "app/Backup.h"
#include "app/CommandLine.h"
#include "app/FileTypes.h"
#include "app/Terms.h"
#include "app/WorkFolder.h"
#include "notes/Diary.h"
#include "notes/Notepad.h"
#include "files/FileHelpers.h"

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

CVantlowApp::CVantlowApp(Platform& platform)
    : store(platform.ui()), site(platform.ui(), platform.settings()), platform_(platform), view_(*this) {}

CVantlowApp::~CVantlowApp() = default;

bool CVantlowApp::InitInstance(const std::vector<std::string>& args) {
    VideoPagesBuilt = false;
    PlaylistPagesBuilt = false;

    const std::string commandLineFile = CommandLineFile(args);
    ExePath = system().ExecutablePath();

    // The package: inside the program, named on the command line, beside it, or chosen.
    if (!site.OpenPackage(ExePath, UserDataPath, commandLineFile)) return false;
    ProductKey = SectionName(site.Package.SettingsName);
    if (!site.Package.Title.empty()) ui().SetApplicationName(site.Package.Title);

    const bool embedded = site.Package.Embedded;
    const bool termsJustAccepted = EnsureTermsAccepted(ui(), settings(), system(), ProductKey, embedded);

    if (!site.ReadBranding()) return false;

    if (!embedded) RegisterFileTypes(system(), system().ExecutablePath());

    ZoomPercent = settings().GetInt(ProductKey, "Zoom", 100);
    // A hand-edited setting outside the dialog's range never reaches the view.
    if (ZoomPercent < CVantlowView::kMinZoom || ZoomPercent > CVantlowView::kMaxZoom) ZoomPercent = 100;

    MainView* window = platform_.CreateMainWindow(view_);
    if (!window) return false;
    view_.Attach(window);

    if (!CreateWorkFolder()) return false;
    ShowWaitingPage();

    if (!site.BuildSite(WorkFolder)) {
        AbandonSite();
        return false;
    }
    store.ExcludedWords = site.ExcludedWords;

    // User data: a failed load offers the backup, which restarts the program when restored.
    LoadUserDataAtStartUp(*this);

    if (!WriteNotepadPage(ui(), store, WorkFolder, site.PageTemplate, site.Niche)) return false;
    if (!WriteDiaryPage(ui(), system(), store, WorkFolder, site.PageTemplate, site.Niche)) return false;

    HomePage = WorkFolder + "help.html";

    if (site.Niche.empty()) {
        ui().ShowMessage("No SiteNiche.txt file found in package", Icon::Stop);
        AbandonSite();
        return false;
    }
    if (!site.Package.Title.empty()) window->SetTitle(site.Package.Title);

    // The very first start shows the help page, whatever the home page is.
    window->Navigate(termsJustAccepted ? WorkFolder + "help.html" : HomePage);
    view_.ApplyZoom(ZoomPercent);
    ReadyToSave = true;
    return true;
}

bool CVantlowApp::CreateWorkFolder() {
    std::optional<std::string> temp = system().TempFolder();
    if (!temp) {
        ui().ShowMessage("Error - unable to determine Windows TEMP directory", Icon::Stop);
        return false;
    }
    std::optional<std::string> folder = MakeWorkFolder(*temp, system().Now());
    if (!folder) {
        ui().ShowMessage("Error - unable to create TEMP folder", Icon::Stop);
        return false;
    }
    WorkFolder = *folder;
    return true;
}

void CVantlowApp::ShowWaitingPage() {
    MainView* window = view_.window();
    window->SetSilent(true);
    const std::string page = WorkFolder + "index.html";
    WriteWholeFile(ui(), page, kWaitingPage);
    window->Navigate(page);
    window->BringToFront();
}

int CVantlowApp::ExitInstance(int frameworkExitCode) {
    if (ReadyToSave) SaveWithBackup(*this);
    CleanUp();
    return frameworkExitCode;
}

void CVantlowApp::CleanUp() {
    for (ProcessHandle handle : LaunchedPrograms) system().WaitForProgram(handle);
    LaunchedPrograms.clear();
    if (WorkFolder.empty()) return;
    site.RemoveGeneratedFiles(store.VideoPageCount, store.PlaylistPageCount);
    RemoveWorkFolder();
}

void CVantlowApp::RemoveWorkFolder() {
    RemoveWorkFolderTree(WorkFolder);
}

// A start-up that fails once the site is built leaves nothing behind in the work folder.
void CVantlowApp::AbandonSite() {
    site.RemoveGeneratedFiles(store.VideoPageCount, store.PlaylistPageCount);
    RemoveWorkFolder();
    WorkFolder.clear();
}

void CVantlowApp::ExitWithoutSaving() {
    CleanUp();
    system().ExitNow(1);
}

void CVantlowApp::AddLaunchedProgram(ProcessHandle handle) {
    if (LaunchedPrograms.size() < kMaxLaunchedPrograms) LaunchedPrograms.push_back(handle);
}

}  // namespace qen
