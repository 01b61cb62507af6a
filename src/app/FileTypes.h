#pragma once
// Makes this program the one that opens ".qen" packages and ".lum" user data files,
// the freedesktop way: a shared-mime-info package naming the two types and a desktop
// entry that opens them, both under the user's own data folder.
#include <optional>
#include <string>
#include <vector>

#include "base/Path.h"

namespace qen {

class System;

// $XDG_DATA_HOME, else $HOME/.local/share; nullopt when neither is set. Ends in "/".
std::optional<Path> UserDataHome();

// The system's data folders: $XDG_DATA_DIRS, else /usr/local/share and /usr/share; each
// ends in "/", relative entries are left out.
std::vector<Path> SystemDataFolders();

// Whether one of `dataFolders` holds both the desktop entry and the file types, as an
// installed package puts them there.
bool SystemCarriesFileTypes(const std::vector<Path>& dataFolders);

// The desktop entry's command: the program path quoted as the desktop entry rules want
// it, then the file. nullopt for a path that cannot be written into one line.
std::optional<std::string> OpenCommandFor(const Path& programPath);

// Makes both files what they should be for `programPath` (the running program). Only a
// file that differs from what is there is written, and only then are the desktop's caches
// refreshed, by programs that are started and not waited for: an everyday start reads two
// small files and starts nothing. Nothing is written when the system carries the file
// types already (an installed package). Every failure is silent.
void RegisterFileTypes(System& system, const Path& programPath);

}  // namespace qen
