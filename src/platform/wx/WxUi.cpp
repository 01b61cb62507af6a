#include "platform/wx/WxUi.h"

#include <wx/app.h>
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
    if (pumping_ || !wxTheApp) return;
    pumping_ = true;
    wxTheApp->Yield(true);
    pumping_ = false;
}

}  // namespace qen
