#include "app/CVantlowApp.h"

#include "app/Backup.h"
#include "app/CommandLine.h"
#include "app/FileTypes.h"
#include "app/Terms.h"
#include "app/WorkFolder.h"
#include "web/FileHelpers.h"

namespace qen {

namespace {
constexpr const char* kWaitingPage =
    "<DIV align=center><FONT face=Verdana size=3><BR><BR><BR><BR><BR>Loading Data - Please Wait</DIV>";
constexpr const char* kDefaultProductKey = "QenRuntime";
}  // namespace

CVantlowApp::CVantlowApp(Platform& platform) : store(platform.ui()), platform_(platform), view_(*this) {}

CVantlowApp::~CVantlowApp() = default;

bool CVantlowApp::InitInstance(const std::vector<std::string>& args) {
    VideoPagesBuilt = false;
    PlaylistPagesBuilt = false;

    const std::string commandLineFile = CommandLineFile(args);
    (void)commandLineFile;
    ExePath = system().ExecutablePath();
    ProductKey = kDefaultProductKey;

    // The package's embedded flag replaces this once the package is opened here.
    const bool embedded = false;
    const bool termsJustAccepted = EnsureTermsAccepted(ui(), settings(), system(), ProductKey, embedded);

    if (!embedded) RegisterFileTypes(system(), system().ExecutablePath());

    ZoomPercent = settings().GetInt(ProductKey, "Zoom", 100);

    MainView* window = platform_.CreateMainWindow(view_);
    if (!window) return false;
    view_.Attach(window);

    if (!CreateWorkFolder()) return false;
    ShowWaitingPage();

    // User data: a failed load offers the backup, which restarts the program when restored.
    LoadUserDataAtStartUp(*this);

    HomePage = WorkFolder + "help.html";
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
    // The site's RemoveGeneratedFiles(store.VideoPageCount, store.PlaylistPageCount) belongs here.
    RemoveWorkFolder();
}

void CVantlowApp::RemoveWorkFolder() {
    RemoveWorkFolderTree(WorkFolder);
}

void CVantlowApp::ExitWithoutSaving() {
    CleanUp();
    system().ExitNow(1);
}

void CVantlowApp::AddLaunchedProgram(ProcessHandle handle) {
    if (LaunchedPrograms.size() < kMaxLaunchedPrograms) LaunchedPrograms.push_back(handle);
}

}  // namespace qen
