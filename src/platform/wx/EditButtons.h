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

// Escape and the close box of `dialog` press Dismiss instead of closing it at once. A close
// that may not be refused still closes.
void DismissByEscapeAndCloseBox(wxDialog* dialog, std::function<void(EditButton)> press);

// The end of a dialog whose `decide` agreed to `button`.
int DialogResultOf(EditButton button);

}  // namespace qen
