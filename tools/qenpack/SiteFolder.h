#pragma once
// The files of a site folder, as a package takes them.
#include <optional>
#include <string>
#include <vector>

#include "base/Path.h"
#include "qenpack/PackageBlockWriter.h"

namespace qen {

// The regular files directly inside `folder`, sorted by name; names starting with "."
// are left out. A sub-folder is an error: a package holds no folders.
std::optional<std::vector<PackageFile>> ReadSiteFolder(const Path& folder, std::string& error);

}  // namespace qen
