#include "platform/wx/EditButtons.h"

#include <wx/button.h>

namespace qen {

wxSizer* MakeEditButtons(wxDialog* dialog, const wxString& deleteLabel, bool showDelete,
                         std::function<void(EditButton)> press) {
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* save = new wxButton(dialog, wxID_OK, "Save");
    auto* cancel = new wxButton(dialog, wxID_CANCEL, "Cancel");
    auto* remove = new wxButton(dialog, wxID_DELETE, deleteLabel);
    buttons->AddStretchSpacer(1);
    buttons->Add(save, 0, wxRIGHT, 6);
    buttons->Add(cancel, 0);
    buttons->AddStretchSpacer(1);
    buttons->Add(remove, 0);
    remove->Show(showDelete);
    save->SetDefault();
    save->Bind(wxEVT_BUTTON, [press](wxCommandEvent&) { press(EditButton::Save); });
    remove->Bind(wxEVT_BUTTON, [press](wxCommandEvent&) { press(EditButton::Delete); });
    return buttons;
}

void DismissByEscapeAndCloseBox(wxDialog* dialog, std::function<void(EditButton)> press) {
    // Seen before the dialog's own Escape handling, which would press Cancel.
    dialog->Bind(wxEVT_CHAR_HOOK, [press](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE)
            press(EditButton::Dismiss);
        else
            event.Skip();
    });
    dialog->Bind(wxEVT_CLOSE_WINDOW, [press](wxCloseEvent& event) {
        if (event.CanVeto())
            press(EditButton::Dismiss);
        else
            event.Skip();
    });
}

int DialogResultOf(EditButton button) { return button == EditButton::Dismiss ? wxID_CANCEL : wxID_OK; }

}  // namespace qen
