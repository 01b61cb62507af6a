#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "base/Path.h"

namespace qen {

// When no file exists at `userDataPath` and its name (without extension) ends in "_" and
// one or two digits, the user data file of the name without them: a copy of the program
// saved as "Tool_3" keeps using the user data of "Tool".
Path AdjustUserDataPath(const Path& userDataPath);

// A user data file that could not be read is moved aside, never saved over:
// "<file>.damaged-<date>", with "-2", "-3" ... when that name is taken. Gives where it went,
// or nullopt when there is no regular file to keep or it could not be moved.
std::optional<Path> KeepDamagedFileAside(const Path& file, const std::string& dateStamp);

}  // namespace qen
