#pragma once
#include <string>
#include <vector>

#include "base/Path.h"

namespace qen {

// The file named on the command line (a ".qen" package or a ".lum" user data file), as
// the system's bytes, or an empty path.
Path CommandLineFile(const std::vector<std::string>& args);

}  // namespace qen
