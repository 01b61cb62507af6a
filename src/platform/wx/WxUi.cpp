#include "platform/wx/WxUi.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "platform/wx/SystemText.h"

namespace qen {

namespace {

long IconStyle(Icon icon) {
    switch (icon) {
        case Icon::Stop: return wxICON_ERROR;
        case Icon::Information: return wxICON_INFORMATION;
        case Icon::Exclamation: return wxICON_EXCLAMATION;
        case Icon::Question: return wxICON_QUESTION;
        case Icon::None: break;
    }
    return wxICON_NONE;
}

long ButtonStyle(Buttons buttons) {
    switch (buttons) {
        case Buttons::OkCancel: return wxOK | wxCANCEL;
        case Buttons::YesNo: return wxYES_NO;
        case Buttons::YesNoCancel: return wxYES_NO | wxCANCEL;
        case Buttons::Ok: break;
    }
    return wxOK;
}

Answer AnswerOf(int id) {
    switch (id) {
        case wxID_YES: return Answer::Yes;
        case wxID_NO: return Answer::No;
        case wxID_CANCEL: return Answer::Cancel;
        default: return Answer::Ok;
    }
}

}  // namespace

Answer WxUi::ShowMessage(const std::string& text, Icon icon, Buttons buttons) {
    wxMessageDialog dialog(parent_, ToWxDecodingReferences(text), ToWx(ApplicationName()),
                           ButtonStyle(buttons) | IconStyle(icon) | wxCENTRE);
    return AnswerOf(dialog.ShowModal());
}

std::optional<Path> WxUi::ChooseFile(const FileDialogRequest& request) {
    // The filter comes in the "Name (*.x)|*.x||" form; the toolkit wants no trailing bars.
    wxString filter = ToWx(request.filter);
    while (filter.EndsWith("|")) filter.RemoveLast();
    wxFileDialog dialog(parent_, ToWx(request.title), PathToWx(request.initialFolder.Bytes()), wxEmptyString, filter,
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return Path(PathFromWx(dialog.GetPath()));
}

int WxUi::RunDialog(wxDialog& dialog) {
    wxWindow* previous = parent_;
    parent_ = &dialog;
    const int result = dialog.ShowModal();
    parent_ = previous;
    return result;
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
