// The program: the toolkit's application object hands start-up and shutdown to Application.
// Exit codes: 0 normal end, 1 terms declined or an exit without saving, 2 start-up failed.
#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/timer.h>
#include <wx/uilocale.h>

#include "app/Application.h"
#include "platform/curl/CurlTransport.h"
#include "platform/wx/MainFrame.h"
#include "platform/wx/WxPlatform.h"
#include "text/TextEncoding.h"
#include "update/VersionFile.h"
#include "web/DownloadFetcher.h"

namespace {

constexpr int kStartUpFailed = 2;

volatile std::sig_atomic_t terminationRequested = 0;

void RequestTermination(int) { terminationRequested = 1; }

// The arguments exactly as the system gave them: a path is bytes, and the toolkit's own
// copies go through the locale, which under a C locale loses every byte above 127.
std::vector<std::string> commandLine;
bool startFailed = false;

class QenApp : public wxApp {
public:
    bool OnInit() override {
        // The toolkit's own warnings would otherwise be modal popups that keep the process alive.
        delete wxLog::SetActiveTarget(new wxLogStderr);
        // Dates in dialogs and messages follow the user's regional format.
        wxUILocale::UseDefault();
        platform_ = std::make_unique<qen::WxPlatform>();
        fetcher_ = std::make_unique<qen::DownloadFetcher>(platform_->ui(), std::make_shared<qen::CurlTransport>());
        app_ = std::make_unique<qen::Application>(*platform_, *fetcher_, platform_->dialogs());

        // Watched from the start: a dialog of start-up itself must end the normal way too.
        WatchForTermination();
        if (!app_->Start(commandLine)) {
            ReportFailedStart();
            if (wxFrame* frame = platform_->frame()) frame->Destroy();
            app_->Shutdown(kStartUpFailed);
            exited_ = true;
            startFailed = true;
            return false;
        }
        return true;
    }

    int OnExit() override {
        terminationTimer_.Stop();
        // A download that still hangs is left behind; it never delays the save.
        if (fetcher_) fetcher_->AbandonTransfers();
        if (app_ && !exited_) app_->Shutdown(0);
        exited_ = true;
        return wxApp::OnExit();
    }

private:
    // A logout, kill or Ctrl+C ends the program the way its close box does, so the user's
    // data is saved and the work folder removed; so does a close put off because a dialog or
    // a wait was running. The signal handler only sets a flag. The timer
    // fires in every loop, a dialog's too: it ends the open dialogs one by one as if
    // cancelled, and closes the window only once nothing but the main loop is running, so
    // no window is destroyed under a dialog or a wait.
    void WatchForTermination() {
        for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, &RequestTermination);
        terminationTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (!terminationRequested && !platform_->ClosePutOff()) return;
            qen::WxUi& ui = platform_->wxUi();
            ui.RequestTermination();
            if (ui.ClosingMustWait() || ui.AnyDialogOpen()) return;
            if (wxFrame* frame = platform_->frame()) frame->Close(true);
        });
        terminationTimer_.Start(100);
    }

    void ReportFailedStart() {
        const std::string& message = platform_->wxUi().LastMessage();
        std::cerr << "QenRuntime: start-up ended: "
                  << (message.empty() ? std::string("no package was opened")
                                      : qen::SystemTextToUtf8(message, qen::References::Decode))
                  << "\n";
    }

    std::unique_ptr<qen::WxPlatform> platform_;
    std::unique_ptr<qen::DownloadFetcher> fetcher_;  // outlives the application that uses it
    std::unique_ptr<qen::Application> app_;
    wxTimer terminationTimer_;
    bool exited_ = false;
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(QenApp);

int main(int argc, char** argv) {
    // A file-size limit makes a write fail, which the saves report; it must not end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    // Answered before the toolkit starts, so it works without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << qen::VersionLine("QenRuntime");
        return 0;
    }
    commandLine.assign(argv, argv + argc);
    const int code = wxEntry(argc, argv);
    return startFailed ? kStartUpFailed : code;
}
