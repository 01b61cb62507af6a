#pragma once
// The button row of the note and diary dialogs: "Save" (default) and "Cancel" in the
// middle, the delete button on the right, shown only for a stored item.
#include <functional>

#include <wx/dialog.h>
#include <wx/sizer.h>

#include "notes/NoteDialogs.h"

namespace qen {

wxSizer* MakeEditButtons(wxDialog* dialog, const wxString& deleteLabel, bool showDelete,
                         std::function<void(EditButton)> press);

}  // namespace qen
