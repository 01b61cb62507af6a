// The address the user must open themselves: the message, the address in a read-only field
// they can select, a Copy button and OK.
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/wx/SystemText.h"
#include "platform/wx/WxDialogs.h"

namespace qen {

namespace {

class AddressWindow : public wxDialog {
public:
    AddressWindow(wxWindow* parent, const wxString& caption, const std::string& message, const std::string& address)
        : wxDialog(parent, wxID_ANY, caption) {
        auto* root = new wxBoxSizer(wxVERTICAL);
        wxString text = ToWx(message);
        text.Trim();
        root->Add(new wxStaticText(this, wxID_ANY, text), 0, wxALL, 12);

        auto* row = new wxBoxSizer(wxHORIZONTAL);
        field_ = new wxTextCtrl(this, wxID_ANY, ToWx(address), wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
        field_->SetName("Address");
        field_->SetMinSize(wxSize(ConvertDialogToPixels(wxSize(200, 0)).GetWidth(), -1));
        row->Add(field_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
        auto* copy = new wxButton(this, wxID_COPY, "Copy");
        row->Add(copy, 0, wxALIGN_CENTER_VERTICAL);
        root->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT, 12);

        auto* ok = new wxButton(this, wxID_OK, "OK");
        root->Add(ok, 0, wxALIGN_RIGHT | wxALL, 12);
        ok->SetDefault();
        copy->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Copy(); });

        SetSizer(root);
        Fit();
        CentreOnParent();
        field_->SetFocus();
        field_->SelectAll();
    }

private:
    void Copy() {
        field_->SelectAll();
        if (wxTheClipboard->Open()) {
            wxTheClipboard->SetData(new wxTextDataObject(field_->GetValue()));
            wxTheClipboard->Flush();
            wxTheClipboard->Close();
        }
    }

    wxTextCtrl* field_ = nullptr;
};

}  // namespace

void WxDialogs::ShowAddressDialog(const std::string& message, const std::string& address) {
    AddressWindow dialog(ui_.ParentWindow(), ToWx(ui_.ApplicationName()), message, address);
    ui_.RunDialog(dialog);
}

}  // namespace qen
