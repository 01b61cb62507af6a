#pragma once
// How the link commands read an address: web or local, page name, pseudo-link argument.
#include <string>
#include <string_view>

namespace qen {

// "http://" or "https://": no page from the network may act on the user's data by naming
// one of the program's pseudo-links.
bool IsWebAddress(std::string_view address);
// True when `address` is not a web address and ends in `pageName` (case-sensitive).
bool IsLocalPage(const std::string& address, const std::string& pageName);
// True when the file name of a non-web `address` is prefix + argument + ".html".
bool ParseLinkCommand(const std::string& address, const std::string& prefix, std::string& argument);

}  // namespace qen
