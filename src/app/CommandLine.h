#pragma once
#include <string>
#include <vector>

namespace qen {

// The file named on the command line (a ".qen" package or a ".lum" user data file),
// or the empty text.
std::string CommandLineFile(const std::vector<std::string>& args);

}  // namespace qen
