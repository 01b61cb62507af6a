#pragma once
// The private work folder: "lumfiles__" + start time in the temporary folder, entered by
// this user only, with the id of the process that owns it inside.
#include <cstdint>
#include <optional>

#include "base/Path.h"

namespace qen {

class System;

inline constexpr const char* kWorkFolderPrefix = "lumfiles__";
inline constexpr const char* kOwnerFileName = "owner.pid";

// Creates temp + "lumfiles__" + seconds, retrying with "x", "xx", "xxx" appended while
// the name is taken, and records `ownerProcess` in it. Gives the folder with a trailing
// "/", or nullopt.
std::optional<Path> MakeWorkFolder(const Path& tempFolder, std::int64_t secondsSince1970,
                                   std::int64_t ownerProcess);

// Removes the work folder with whatever is left in it: the folder is private to this run,
// and a page a generator left behind must not keep it alive in the temporary folder.
void RemoveWorkFolderTree(const Path& folder);

// Removes the work folders of this user's runs that were killed: their owner no longer runs.
void RemoveLeftoverWorkFolders(const Path& tempFolder, System& system);

}  // namespace qen
