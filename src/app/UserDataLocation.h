#pragma once
#include "base/Path.h"

namespace qen {

// When no file exists at `userDataPath` and its name (without extension) ends in "_" and
// one or two digits, the user data file of the name without them: a copy of the program
// saved as "Tool_3" keeps using the user data of "Tool".
Path AdjustUserDataPath(const Path& userDataPath);

}  // namespace qen
