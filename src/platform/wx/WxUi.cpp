#include "platform/wx/WxUi.h"

#include <algorithm>
#include <optional>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/utils.h>

#include "platform/wx/SystemText.h"

namespace qen {

std::optional<Path> WxUi::ChooseFile(const FileDialogRequest& request) {
    // The filter comes in the "Name (*.x)|*.x||" form; the toolkit wants no trailing bars.
    wxString filter = ToWx(request.filter);
    while (filter.EndsWith("|")) filter.RemoveLast();
    wxFileDialog dialog(parent_, ToWx(request.title), PathToWx(request.initialFolder.Bytes()), wxEmptyString, filter,
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (RunDialog(dialog) != wxID_OK) return std::nullopt;
    return Path(PathFromWx(dialog.GetPath()));
}

int WxUi::RunDialog(wxDialog& dialog) {
    wxWindow* previous = parent_;
    parent_ = &dialog;
    const int result = dialog.ShowModal();
    parent_ = previous;
    return result;
}

void WxUi::RequestTermination() {
    terminating_ = true;
    tracker_.RefuseNewDialogs();
    tracker_.CancelInnermost();
}

void WxUi::BeginBusy() { wxBeginBusyCursor(); }

void WxUi::EndBusy() { wxEndBusyCursor(); }

void WxUi::PumpMessages() {
    // A timer or link handled during the pump may itself wait and pump; one level is enough.
    if (waiting_ || !wxTheApp) return;
    waiting_ = true;
    wxTheApp->Yield(true);
    waiting_ = false;
}

bool WxUi::WaitForMessages(std::chrono::milliseconds upTo) {
    if (waiting_ || !wxTheApp) return false;
    waiting_ = true;
    // Start-up's version check waits before the main loop runs: it gets a loop of its own.
    std::optional<wxGUIEventLoop> own;
    std::optional<wxEventLoopActivator> activation;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (!loop) {
        loop = &own.emplace();
        activation.emplace(loop);
    }
    // Sleeps in the toolkit's own poll, so the display, the accessibility bus and Wake all
    // end the sleep at once.
    loop->DispatchTimeout(static_cast<unsigned long>(std::max<std::chrono::milliseconds::rep>(upTo.count(), 1)));
    waiting_ = false;
    return true;
}

// The toolkit's idle wake-up is the one call it allows from another thread.
void WxUi::Wake() { wxWakeUpIdle(); }

bool WxUi::ClosingMustWait() const {
    const wxEventLoopBase* active = wxEventLoopBase::GetActive();
    return waiting_ || !active || active != wxTheApp->GetMainLoop() || active->IsYielding();
}

}  // namespace qen
