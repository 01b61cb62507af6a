#pragma once
// The files of a site folder, as a package takes them.
#include <optional>
#include <string>
#include <vector>

#include "base/Path.h"
#include "qenpack/PackageBlockWriter.h"

namespace qen {

struct SiteFolderError {
    // True when the folder or one of its files cannot be read; false for a site that a
    // package cannot hold.
    bool unreadable = false;
    std::string reason;
};

// The regular files directly inside `folder`, sorted by name; names starting with "."
// are left out. A sub-folder is refused: a package holds no folders. A device, a pipe or
// a file above the file module's size limit is refused as unreadable, without blocking.
std::optional<std::vector<PackageFile>> ReadSiteFolder(const Path& folder, SiteFolderError& error);

}  // namespace qen
