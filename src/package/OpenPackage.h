#pragma once
// Finding the content package at start-up: inside the program, named on the command line,
// beside the program, or chosen by the user.
#include "base/Path.h"
#include "package/ContentPackage.h"

namespace qen {

class Ui;
class Settings;

struct PackageBeside {
    enum class Found { None, One, Several } found = Found::None;
    Path path;  // the one package, when there is exactly one
};

// The package "<program>.qen", else the only ".qen" file in the program's folder.
PackageBeside FindPackageBeside(const Path& exePath);

// Opens and checks the package and gives the user data path beside it (".lum"). Shows its
// own messages, and the file dialog when it has to ask; false ends start-up. The folder of a
// package chosen in the dialog is remembered ("InitDir") at once, or, given
// `folderToRemember`, handed back for the caller to store once the user agreed to the terms.
bool OpenPackage(Ui& ui, Settings& settings, const Path& exePath, const Path& commandLineFile,
                 ContentPackage& package, Path& userDataPath, Path* folderToRemember = nullptr);

// Stores the folder of a package chosen in the dialog.
void RememberPackageFolder(Settings& settings, const Path& folder);

}  // namespace qen
