#pragma once
// Every modal dialog the program shows, the toolkit's own (the file dialog) included, so
// that a request to end the program can close them the way Cancel does, innermost first,
// and no new one opens once the program is ending.
#include <vector>

#include <wx/dialog.h>
#include <wx/modalhook.h>

namespace qen {

class DialogTracker : public wxModalDialogHook {
public:
    DialogTracker() { Register(); }

    // From now on every dialog answers Cancel at once.
    void RefuseNewDialogs() { refusing_ = true; }
    // Ends the innermost open dialog as if cancelled; the next call ends the next one.
    void CancelInnermost();
    bool AnyOpen() const { return !open_.empty(); }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog* dialog) override;

private:
    std::vector<wxDialog*> open_;
    bool refusing_ = false;
};

}  // namespace qen
