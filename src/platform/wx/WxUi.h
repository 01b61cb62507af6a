#pragma once
// The toolkit side of Ui: message boxes (MessageDialog.cpp), the file dialog, the busy
// cursor, and the running of every modal dialog. The features' dialogs are in WxDialogs.
#include <wx/dialog.h>
#include <wx/window.h>

#include "platform/Ui.h"
#include "platform/wx/DialogTracker.h"

namespace qen {

class WxUi : public Ui {
public:
    // Dialogs and message boxes are centred on the main window once it exists.
    void SetParentWindow(wxWindow* parent) { parent_ = parent; }
    wxWindow* ParentWindow() const { return parent_; }
    // Shows a modal dialog; the messages its rules show go on top of it.
    int RunDialog(wxDialog& dialog);

    // The program is to end: no new dialog opens, and each call ends the innermost open one
    // as if cancelled. Called again until none is left.
    void RequestTermination();
    bool TerminationRequested() const override { return terminating_; }
    bool AnyDialogOpen() const { return tracker_.AnyOpen(); }
    // True while a dialog or a wait runs: the main window destroyed now would take the code
    // that runs them with it.
    bool ClosingMustWait() const;
    // The last message shown, for the reason a start-up that ended early gives on stderr.
    const std::string& LastMessage() const { return lastMessage_; }

    Answer ShowMessage(const std::string& text, Icon icon, Buttons buttons) override;
    std::optional<Path> ChooseFile(const FileDialogRequest& request) override;
    void BeginBusy() override;
    void EndBusy() override;
    void PumpMessages() override;
    bool WaitForMessages(std::chrono::milliseconds upTo) override;
    void Wake() override;

private:
    wxWindow* parent_ = nullptr;
    bool waiting_ = false;  // inside PumpMessages or WaitForMessages
    bool terminating_ = false;
    std::string lastMessage_;
    DialogTracker tracker_;
};

}  // namespace qen
