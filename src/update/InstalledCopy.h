#pragma once
// Telling a copy that was installed into a prefix (by a package manager or an install
// rule) from one that runs from a folder of its own.
#include <string_view>

#include "base/Path.h"

namespace qen {

// The metadata file every install puts under <prefix>/share/metainfo/.
constexpr std::string_view kInstalledMetadataName = "org.qenruntime.QenRuntime.metainfo.xml";

// Whether `program` is <prefix>/bin/<name> with the install's metadata under the same
// prefix. Such a copy belongs to whatever installed it, even for a user (root) who could
// write its folder: replacing it would go behind the package manager's back.
bool IsInstalledCopy(const Path& program);

}  // namespace qen
