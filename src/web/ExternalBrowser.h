#pragma once
// Opening an address in the user's own browser, outside the program.
#include <string>

#include "base/Path.h"

namespace qen {

class AddressDialog;
class Ui;
class System;

// How long a launcher may take to say whether it could open an address; one still running
// then (a browser run in the foreground) is taken to have opened it.
inline constexpr int kLauncherWaitMilliseconds = 1500;

// Tries xdg-open, x-www-browser and firefox, then the redirect page; the user is shown
// the address only when all of them fail. Never waits for a browser to end.
void OpenInExternalBrowser(Ui& ui, System& system, const std::string& url, AddressDialog& addressDialog);

// Writes the self-redirecting page to `path` (the temporary folder's
// "temp_webtool_help.html" when empty) and opens it.
bool OpenViaRedirectPage(Ui& ui, System& system, const std::string& url, bool showErrors, const Path& path);

// Removes the redirect page from the temporary folder, where it would outlive the run.
void RemoveRedirectPage(System& system);

}  // namespace qen
