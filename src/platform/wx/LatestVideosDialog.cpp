// The "Get Latest Videos" dialog: a status line, a centred progress line and Cancel, shown
// while the keyword fetch runs inside it.
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "platform/wx/CloseBoxWatch.h"
#include "platform/wx/SystemText.h"
#include "platform/wx/WxDialogs.h"

namespace qen {

namespace {

constexpr int kStatusId = 1006;
constexpr int kCancelId = 1007;
constexpr int kProgressId = 1067;
// Long enough for the dialog to be painted before the work takes the thread.
constexpr int kStartDelayMs = 100;

class LatestVideosWindow : public wxDialog, public FetchProgress {
public:
    using Work = std::function<void(FetchProgress&)>;

    LatestVideosWindow(wxWindow* parent, const Work& work)
        // A caption and no system menu: the dialog closes when the work is done.
        : wxDialog(parent, wxID_ANY, "Get Latest Videos", wxDefaultPosition, wxDefaultSize, wxCAPTION),
          work_(work),
          startTimer_(this) {
        auto* root = new wxBoxSizer(wxVERTICAL);
        status_ = new wxStaticText(this, kStatusId, "Getting Latest Videos - Please Wait");
        root->Add(status_, 0, wxALIGN_CENTER | wxLEFT | wxRIGHT | wxTOP, 14);
        progress_ = new wxStaticText(this, kProgressId, "Static", wxDefaultPosition, wxDefaultSize,
                                     wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
        root->Add(progress_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 14);
        auto* cancel = new wxButton(this, kCancelId, "Cancel");
        root->Add(cancel, 0, wxALIGN_CENTER | wxALL, 14);

        // Cancel and Escape only raise the flag; the fetch gives up its wait as soon as it sees it.
        cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { cancelled_ = true; });
        SetEscapeId(wxID_NONE);
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
            if (event.GetKeyCode() == WXK_ESCAPE)
                cancelled_ = true;
            else
                event.Skip();
        });
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
            cancelled_ = true;
            if (event.CanVeto()) event.Veto();
        });
        Bind(wxEVT_TIMER, [this](wxTimerEvent&) { RunWork(); }, startTimer_.GetId());

        SetSizer(root);
        SetMinSize(ConvertDialogToPixels(wxSize(240, 86)));
        Fit();
        CentreOnParent();
        startTimer_.StartOnce(kStartDelayMs);
    }

    void SetStatusText(const std::string& text) override { ShowNow(status_, text); }
    void SetProgressText(const std::string& text) override { ShowNow(progress_, text); }
    const bool& CancelFlag() const override { return cancelled_; }

    // Ended from outside (the program is asked to end): before the work starts the dialog
    // closes at once; while it runs, the work is cancelled and the dialog closes as Cancel
    // when it returns, since the work is still on the stack of this dialog's loop.
    void EndModal(int code) override {
        if (code == wxID_OK) {
            wxDialog::EndModal(code);
            return;
        }
        cancelled_ = true;
        endedFromOutside_ = true;
        if (running_) return;
        started_ = true;
        startTimer_.Stop();
        wxDialog::EndModal(code);
    }

private:
    void ShowNow(wxStaticText* line, const std::string& text) {
        line->SetLabel(ToWx(text));
        Layout();
        line->Refresh();
    }

    void RunWork() {
        if (started_) return;
        started_ = true;
        running_ = true;
        // The close box of the main window ends the program while the fetch runs.
        LetCloseRequestsPass(*this);
        Update();
        work_(*this);
        running_ = false;
        wxDialog::EndModal(endedFromOutside_ ? wxID_CANCEL : wxID_OK);
    }

    const Work& work_;
    wxTimer startTimer_;
    wxStaticText* status_ = nullptr;
    wxStaticText* progress_ = nullptr;
    bool cancelled_ = false;
    bool started_ = false;
    bool running_ = false;
    bool endedFromOutside_ = false;
};

}  // namespace

bool WxDialogs::ShowLatestVideosDialog(const std::function<void(FetchProgress&)>& work) {
    LatestVideosWindow dialog(ui_.ParentWindow(), work);
    return ui_.RunDialog(dialog) == wxID_OK;
}

}  // namespace qen
