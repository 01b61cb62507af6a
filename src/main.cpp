// The program: the toolkit's application object hands start-up and shutdown to Application.
#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/timer.h>
#include <wx/uilocale.h>

#include "app/Application.h"
#include "platform/wx/MainFrame.h"
#include "platform/wx/WxPlatform.h"

namespace {

volatile std::sig_atomic_t terminationRequested = 0;

void RequestTermination(int) { terminationRequested = 1; }

// The arguments exactly as the system gave them: a path is bytes, and the toolkit's own
// copies go through the locale, which under a C locale loses every byte above 127.
std::vector<std::string> commandLine;

class QenApp : public wxApp {
public:
    bool OnInit() override {
        // The toolkit's own warnings would otherwise be modal popups that keep the process alive.
        delete wxLog::SetActiveTarget(new wxLogStderr);
        // Dates in dialogs and messages follow the user's regional format.
        wxUILocale::UseDefault();
        platform_ = std::make_unique<qen::WxPlatform>();
        app_ = std::make_unique<qen::Application>(*platform_);

        if (!app_->Start(commandLine)) {
            if (wxFrame* frame = platform_->frame()) frame->Destroy();
            app_->Shutdown(1);
            exited_ = true;
            return false;
        }
        WatchForTermination();
        return true;
    }

    int OnExit() override {
        signalTimer_.Stop();
        if (app_ && !exited_) app_->Shutdown(0);
        exited_ = true;
        return wxApp::OnExit();
    }

private:
    // A logout or kill closes the window the way its close box does, so the user's data is
    // saved and the work folder removed. The handler only sets a flag; the loop acts on it.
    void WatchForTermination() {
        for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, &RequestTermination);
        signalTimer_.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
            if (!terminationRequested) return;
            terminationRequested = 0;
            if (wxWindow* top = wxTheApp->GetTopWindow()) top->Close(true);
        });
        signalTimer_.Start(200);
    }

    std::unique_ptr<qen::WxPlatform> platform_;
    std::unique_ptr<qen::Application> app_;
    wxTimer signalTimer_;
    bool exited_ = false;
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(QenApp);

int main(int argc, char** argv) {
    commandLine.assign(argv, argv + argc);
    return wxEntry(argc, argv);
}
