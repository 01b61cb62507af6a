#pragma once
// The private work folder: "lumfiles__" + start time in the temporary folder.
#include <cstdint>
#include <optional>

#include "base/Path.h"

namespace qen {

// Creates temp + "lumfiles__" + seconds, retrying with "x", "xx", "xxx" appended while
// the name is taken. Gives the folder with a trailing "/", or nullopt.
std::optional<Path> MakeWorkFolder(const Path& tempFolder, std::int64_t secondsSince1970);

// Removes the work folder with whatever is left in it: the folder is private to this run,
// and a page a generator left behind must not keep it alive in the temporary folder.
void RemoveWorkFolderTree(const Path& folder);

}  // namespace qen
