#pragma once
// Opening an address in the user's own browser, outside the program.
#include <string>

#include "base/Outcome.h"
#include "base/Path.h"

namespace qen {

class AddressDialog;
class System;

// What the user is told when no browser could be started, before the address.
inline const std::string kCannotOpenMessage =
    "Unable to activate your Internet browser\n\nPlease activate your browser and enter the address:\n\n";

// How long a launcher may take to say whether it could open an address; one still running
// then (a browser run in the foreground) is taken to have opened it.
inline constexpr int kLauncherWaitMilliseconds = 1500;

// Tries xdg-open, x-www-browser and firefox, then the redirect page. When all of them
// fail, the address is shown in the address dialog, to be copied. A redirect page that
// could not be written is a failure with its message; without a temporary folder nothing
// is said. Never waits for a browser to end.
Outcome OpenInExternalBrowser(System& system, const std::string& url, AddressDialog& addressDialog);

// Writes the self-redirecting page to `path` (the temporary folder's
// "temp_webtool_help.html" when empty) and opens it; a failure says why.
Outcome OpenViaRedirectPage(System& system, const std::string& url, const Path& path);

// Removes the redirect page from the temporary folder, where it would outlive the run.
void RemoveRedirectPage(System& system);

}  // namespace qen
