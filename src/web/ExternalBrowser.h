#pragma once
// Opening an address in the user's own browser, outside the program.
#include <string>

namespace qen {

class Ui;
class System;

// Tries xdg-open, x-www-browser and firefox, then the redirect page; the user is told
// the address only when all of them fail.
void OpenInExternalBrowser(Ui& ui, System& system, const std::string& url);

// Writes the self-redirecting page to `path` (the temporary folder's
// "temp_webtool_help.html" when empty) and opens it.
bool OpenViaRedirectPage(Ui& ui, System& system, const std::string& url, bool showErrors,
                         const std::string& path);

}  // namespace qen
