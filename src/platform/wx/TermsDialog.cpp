// The terms dialog: the terms in a read-only box and a "Yes"/"No" question under it.
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/wx/SystemText.h"
#include "platform/wx/WxDialogs.h"

namespace qen {

namespace {

class TermsWindow : public wxDialog {
public:
    TermsWindow(wxWindow* parent, const std::string& caption, const std::string& termsText)
        : wxDialog(parent, wxID_ANY, ToWx(caption), wxDefaultPosition, wxDefaultSize,
                   wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
        wxString text = ToWx(termsText);
        text.Replace("\r\n", "\n");
        auto* root = new wxBoxSizer(wxVERTICAL);
        terms_ = new wxTextCtrl(this, wxID_ANY, text, wxDefaultPosition, wxDefaultSize,
                                wxTE_MULTILINE | wxTE_READONLY | wxVSCROLL);
        root->Add(terms_, 1, wxEXPAND | wxALL, 10);

        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(new wxStaticText(this, wxID_ANY, "Do you accept these terms and conditions?"), 1,
                 wxALIGN_CENTER_VERTICAL);
        auto* yes = new wxButton(this, wxID_OK, "Yes");
        no_ = new wxButton(this, wxID_CANCEL, "No");
        row->Add(yes, 0, wxRIGHT, 8);
        row->Add(no_, 0);
        root->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
        SetSizer(root);
        SetSize(ConvertDialogToPixels(wxSize(424, 230)));
        CentreOnParent();

        // Declining must be the easy choice: Enter answers "No", and the text box never
        // keeps the focus, so the keyboard always lands on "No".
        no_->SetDefault();
        SetDefaultItem(no_);
        terms_->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
            event.Skip();
            CallAfter([this] { no_->SetFocus(); });
        });
        Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
            event.Skip();
            if (event.IsShown()) CallAfter([this] { no_->SetFocus(); });
        });
        SetEscapeId(wxID_CANCEL);
        SetAffirmativeId(wxID_OK);
    }

private:
    wxTextCtrl* terms_ = nullptr;
    wxButton* no_ = nullptr;
};

}  // namespace

bool WxDialogs::ShowTermsDialog(const std::string& caption, const std::string& termsText) {
    TermsWindow dialog(ui_.ParentWindow(), caption, termsText);
    // The close box and Escape end the dialog with the "No" answer.
    return ui_.RunDialog(dialog) == wxID_OK;
}

}  // namespace qen
