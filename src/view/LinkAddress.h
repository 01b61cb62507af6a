#pragma once
// How the link commands read an address: web or local, page name, pseudo-link argument,
// and whether it may carry a command at all.
#include <string>
#include <string_view>

#include "base/Path.h"

namespace qen {

// "http://" or "https://": no page from the network may act on the user's data by naming
// one of the program's pseudo-links.
bool IsWebAddress(std::string_view address);
// True when `address` is not a web address and its file name is `pageName` (case-sensitive):
// a pseudo-link such as "ezine_xwipeplaylist.html" only ends like that page.
bool IsLocalPage(const std::string& address, const std::string& pageName);
// True when the file name of a non-web `address` is prefix + argument + ".html".
bool ParseLinkCommand(const std::string& address, const std::string& prefix, std::string& argument);

// An address the view may go to at all: a web page, a local file (the view reports a
// "file:" URL as its path) or a script link. Any other scheme is nothing this program shows.
bool IsViewableAddress(std::string_view address);
// A file directly inside the work folder, as the view reports it: the only place the
// program's pages and pseudo-links live. A deeper path, a name holding "\" (a separator to
// the path helpers) or a bare name is not.
bool IsWorkFolderFile(std::string_view address, const Path& workFolder);
// The view shows one of the program's own pages, or nothing yet.
bool IsOwnPage(std::string_view currentAddress, const Path& workFolder);

}  // namespace qen
