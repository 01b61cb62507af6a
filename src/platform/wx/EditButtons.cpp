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

}  // namespace qen
