#pragma once
// Reading and checking a package whose file is known. Nothing here shows a message or asks
// the user: each step gives its outcome, and start-up shows it at its place, so the steps
// may run away from the user-interface thread.
#include <string>

#include "base/Outcome.h"
#include "base/Path.h"
#include "package/ContentPackage.h"

namespace qen {

// Where start-up found the package.
struct PackageSource {
    Path path;              // the file that holds it
    bool embedded = false;  // the program's own file, whose block `package` has already found
};

// The failure message of a package that does not pass its checks.
const char* CorruptPackageMessage(bool embedded);

// Opens the package file (unless embedded), finds its block and checks the header, the
// layout and the files every site needs; on success the title and settings name are set.
Outcome OpenPackageSource(const PackageSource& source, ContentPackage& package);

}  // namespace qen
