// The "Zoom" dialog: a number box with a spin button beside it.
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/spinbutt.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include "platform/wx/SystemText.h"
#include "platform/wx/WxDialogs.h"

namespace qen {

namespace {

class ZoomWindow : public wxDialog {
public:
    using StepFunction = std::function<std::string(const std::string&, int)>;
    using AcceptFunction = std::function<bool(const std::string&)>;

    ZoomWindow(wxWindow* parent, const std::string& initialText, const StepFunction& step,
               const AcceptFunction& accept)
        : wxDialog(parent, wxID_ANY, "Zoom"), step_(step), accept_(accept) {
        auto* root = new wxBoxSizer(wxVERTICAL);
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(new wxStaticText(this, wxID_ANY, "Percentage zoom"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 10);

        edit_ = new wxTextCtrl(this, wxID_ANY, ToWx(initialText), wxDefaultPosition, wxDefaultSize,
                               wxTE_PROCESS_ENTER, wxTextValidator(wxFILTER_DIGITS));
        row->Add(edit_, 1, wxALIGN_CENTER_VERTICAL);
        spin_ = new wxSpinButton(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_VERTICAL);
        // The button only reports which arrow was pressed; the value lives in the edit box.
        // Its own position is never reset (that would report a step back), so its range is
        // wide enough never to be reached.
        spin_->SetRange(-1000000, 1000000);
        spin_->SetValue(0);
        row->Add(spin_, 0, wxEXPAND);
        root->Add(row, 0, wxEXPAND | wxALL, 12);

        auto* buttons = new wxBoxSizer(wxHORIZONTAL);
        auto* ok = new wxButton(this, wxID_OK, "OK");
        auto* cancel = new wxButton(this, wxID_CANCEL, "Cancel");
        buttons->Add(ok, 0, wxRIGHT, 8);
        buttons->Add(cancel, 0);
        root->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
        ok->SetDefault();
        // As wide as its layout asks; as high as its contents, with no empty band under the buttons.
        SetSizer(root);
        SetMinSize(wxSize(ConvertDialogToPixels(wxSize(226, 0)).GetWidth(), -1));
        Fit();
        CentreOnParent();

        // The control reports its upper arrow as -1 and its lower arrow as +1.
        spin_->Bind(wxEVT_SPIN_UP, [this](wxSpinEvent&) { Step(-1); });
        spin_->Bind(wxEVT_SPIN_DOWN, [this](wxSpinEvent&) { Step(+1); });
        edit_->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
            if (event.GetKeyCode() == WXK_UP)
                Step(-1);
            else if (event.GetKeyCode() == WXK_DOWN)
                Step(+1);
            else
                event.Skip();
        });
        edit_->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { TryAccept(); });
        ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { TryAccept(); });
        edit_->SetFocus();
        edit_->SelectAll();
    }

    std::string Text() const { return FromWx(edit_->GetValue()); }

private:
    void Step(int delta) {
        edit_->ChangeValue(ToWx(step_(Text(), delta)));
        edit_->SetInsertionPointEnd();
        Refresh();
    }

    void TryAccept() {
        if (accept_(Text())) EndModal(wxID_OK);
    }

    StepFunction step_;
    AcceptFunction accept_;
    wxTextCtrl* edit_ = nullptr;
    wxSpinButton* spin_ = nullptr;
};

}  // namespace

std::optional<std::string> WxDialogs::ShowZoomDialog(
    const std::string& initialText, const std::function<std::string(const std::string& text, int delta)>& step,
    const std::function<bool(const std::string& text)>& accept) {
    ZoomWindow dialog(ui_.ParentWindow(), initialText, step, accept);
    if (ui_.RunDialog(dialog) != wxID_OK) return std::nullopt;
    return dialog.Text();
}

}  // namespace qen
