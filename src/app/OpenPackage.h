#pragma once
// Finding the content package at start-up: inside the program, named on the command line,
// beside the program, or chosen by the user.
#include <optional>

#include "base/Path.h"
#include "package/ContentPackage.h"
#include "package/PackageOpening.h"

namespace qen {

class Ui;
class Settings;

struct PackageBeside {
    enum class Found { None, One, Several } found = Found::None;
    Path path;  // the one package, when there is exactly one
};

// The package "<program>.qen", else the only ".qen" file in the program's folder.
PackageBeside FindPackageBeside(const Path& exePath);

// Where the package is. A block the program carries is taken into `package` at once (its
// checks are still to come); otherwise the file is only named. Shows its own messages, and
// the file dialog when it has to ask; nullopt ends start-up. The folder of a package chosen
// in the dialog is remembered ("InitDir") at once, or, given `folderToRemember`, handed
// back for the caller to store once the user agreed to the terms.
std::optional<PackageSource> LocatePackage(Ui& ui, Settings& settings, const Path& exePath,
                                           const Path& commandLineFile, ContentPackage& package,
                                           Path* folderToRemember = nullptr);

// The user data file of a package: beside it, with the extension ".lum".
Path UserDataPathOf(const PackageSource& source);

// LocatePackage, then the package read and checked, its content hash included, with the
// first failure shown; gives the user data path beside it. False ends start-up.
bool OpenPackage(Ui& ui, Settings& settings, const Path& exePath, const Path& commandLineFile,
                 ContentPackage& package, Path& userDataPath, Path* folderToRemember = nullptr);

// Stores the folder of a package chosen in the dialog.
void RememberPackageFolder(Settings& settings, const Path& folder);

}  // namespace qen
