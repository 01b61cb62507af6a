#pragma once
// The close box of the main window, heard even while "Get Latest Videos" runs. GTK drops a
// window manager's close request for a window behind a modal dialog, and the toolkit ignores
// one for a window a dialog has disabled, so such a close would otherwise be lost.
#include <functional>

class wxWindow;

namespace qen {

// Calls `onClose` whenever `frame` is asked to close by the window manager, before the
// toolkit decides whether to act on it.
void WatchCloseBox(wxWindow& frame, std::function<void()> onClose);

// Lets a close request reach the windows behind `dialog` (shown already). The dialog
// still runs modally: the windows behind it take no input.
void LetCloseRequestsPass(wxWindow& dialog);

}  // namespace qen
