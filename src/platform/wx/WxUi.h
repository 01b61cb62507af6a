#pragma once
// The toolkit side of Ui. Each dialog lives in a file of its own (ZoomDialog.cpp,
// TermsDialog.cpp, BackupDialog.cpp, NoteDialog.cpp, DiaryDialog.cpp).
#include <wx/dialog.h>
#include <wx/window.h>

#include "platform/Ui.h"

namespace qen {

class WxUi : public Ui {
public:
    // Dialogs and message boxes are centred on the main window once it exists.
    void SetParentWindow(wxWindow* parent) { parent_ = parent; }
    wxWindow* ParentWindow() const { return parent_; }
    // Shows a modal dialog whose rules may show messages: those belong on top of it.
    int RunDialog(wxDialog& dialog);

    Answer ShowMessage(const std::string& text, Icon icon, Buttons buttons) override;
    std::optional<Path> ChooseFile(const FileDialogRequest& request) override;
    bool ShowTermsDialog(const std::string& caption, const std::string& termsText) override;
    std::optional<std::string> ShowZoomDialog(
        const std::string& initialText,
        const std::function<std::string(const std::string& text, int delta)>& step,
        const std::function<bool(const std::string& text)>& accept) override;
    BackupChoice ShowBackupDialog() override;
    bool ShowNoteDialog(NoteDialogState& state,
                        const std::function<bool(EditButton, NoteDialogState&)>& decide) override;
    bool ShowDiaryDialog(DiaryDialogState& state,
                         const std::function<bool(EditButton, DiaryDialogState&)>& decide) override;
    void BeginBusy() override;
    void EndBusy() override;
    void PumpMessages() override;

private:
    wxWindow* parent_ = nullptr;
    bool pumping_ = false;
};

}  // namespace qen
