#pragma once
// Escape or a close box in a dialog the user typed into.
#include "platform/Ui.h"

namespace qen {

// True when the dialog may close: at once when nothing was changed, otherwise only when the
// user agrees to lose the changes.
bool MayDiscardChanges(Ui& ui, bool changed);

}  // namespace qen
