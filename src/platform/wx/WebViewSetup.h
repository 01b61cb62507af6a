#pragma once
// Settings of the embedded browser and the menu bar that the toolkit does not expose.
#include <functional>

class wxWebView;
class wxMenuBar;

namespace qen {

// Pages without a charset of their own are read as windows-1252, and window.open()
// (which would abort the browser process) becomes a plain navigation the dispatcher sees.
void PrepareWebView(wxWebView& web);

// Makes each top-level caption a command of its own: one click runs it, no drop-down opens.
void ActivateTopLevelMenus(wxMenuBar* bar, std::function<void(int index)> onCommand);

}  // namespace qen
