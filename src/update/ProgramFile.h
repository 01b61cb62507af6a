#pragma once
// Writing a downloaded program into the program's folder. All update files are written
// here, so the writing stays in one place.
#include <filesystem>
#include <string_view>

#include "base/Outcome.h"
#include "base/Path.h"

namespace qen {

// The mode a program gets when the file it replaces keeps its own: execute wherever the
// file may be read (0644 becomes 0755, 0600 becomes 0700), set-id and sticky bits dropped.
std::filesystem::perms ProgramPermissions(std::filesystem::perms kept);

// Saves the file safely as a program: a new file is made with execute permission as the
// user's umask allows (0755 under the usual 022). On failure gives "Failed to write file
// <path>" and leaves nothing of the download behind.
Outcome WriteProgramFile(const Path& path, std::string_view bytes);

}  // namespace qen
