// The "Notepad" dialog: a title, a multi-line text, and Save / Cancel / Delete Note.
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/wx/EditButtons.h"
#include "platform/wx/SystemText.h"
#include "platform/wx/WxDialogs.h"

namespace qen {

namespace {

// The system keeps line breaks as "\r\n"; the toolkit's edit boxes use "\n".
wxString ToEditLines(const std::string& systemText) {
    wxString text = ToWxDecodingReferences(systemText);
    text.Replace("\r\n", "\n");
    text.Replace("\r", "\n");
    return text;
}

std::string FromEditLines(const wxString& editText) {
    const std::string text = FromWxTyped(editText);
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

class NoteWindow : public wxDialog {
public:
    using Decide = std::function<bool(EditButton, NoteDialogState&)>;

    NoteWindow(wxWindow* parent, NoteDialogState& state, const Decide& decide)
        : wxDialog(parent, wxID_ANY, "Notepad", wxDefaultPosition, wxDefaultSize,
                   wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
          state_(state),
          decide_(decide) {
        auto* root = new wxBoxSizer(wxVERTICAL);

        auto* titleRow = new wxBoxSizer(wxHORIZONTAL);
        titleRow->Add(new wxStaticText(this, wxID_ANY, "Note Title"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
        title_ = new wxTextCtrl(this, wxID_ANY, ToWxDecodingReferences(state.title));
        title_->SetName("Note Title");
        titleRow->Add(title_, 1, wxALIGN_CENTER_VERTICAL);
        root->Add(titleRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 10);

        // Enter makes a new line here; it does not press the default button.
        text_ = new wxTextCtrl(this, wxID_ANY, ToEditLines(state.text), wxDefaultPosition, wxDefaultSize,
                               wxTE_MULTILINE | wxVSCROLL);
        text_->SetName("Note Text");
        root->Add(text_, 1, wxEXPAND | wxALL, 10);

        // A new note has nothing to delete.
        root->Add(MakeEditButtons(this, "Delete Note", state.existing, [this](EditButton button) { Press(button); }),
                  0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);

        DismissByEscapeAndCloseBox(this, [this](EditButton button) { Press(button); });

        SetSizer(root);
        SetMinSize(ConvertDialogToPixels(wxSize(481, 296)));
        Fit();
        CentreOnParent();

        title_->SetFocus();
    }

private:
    void Press(EditButton button) {
        state_.title = FromWxTyped(title_->GetValue());
        state_.text = FromEditLines(text_->GetValue());
        if (decide_(button, state_)) EndModal(DialogResultOf(button));
    }

    NoteDialogState& state_;
    const Decide& decide_;
    wxTextCtrl* title_ = nullptr;
    wxTextCtrl* text_ = nullptr;
};

}  // namespace

bool WxDialogs::ShowNoteDialog(NoteDialogState& state,
                          const std::function<bool(EditButton, NoteDialogState&)>& decide) {
    NoteWindow dialog(ui_.ParentWindow(), state, decide);
    return ui_.RunDialog(dialog) == wxID_OK;
}

}  // namespace qen
