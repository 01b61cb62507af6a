#pragma once
// Writing a downloaded program into the program's folder. All update files are written
// here, so the writing stays in one place.
#include <filesystem>
#include <memory>
#include <string_view>

#include "base/Outcome.h"
#include "base/Path.h"
#include "files/FileIO.h"

namespace qen {

// The mode a program gets when the file it replaces keeps its own: execute wherever the
// file may be read (0644 becomes 0755, 0600 becomes 0700), set-id and sticky bits dropped.
std::filesystem::perms ProgramPermissions(std::filesystem::perms kept);

// A program file written piece by piece (a download) and put in place by CommitProgramFile.
// Null when it cannot be begun.
std::unique_ptr<FileSave> BeginProgramFile(const Path& path);
// Puts the file at `path` as WriteProgramFile does, with the same message on failure.
Outcome CommitProgramFile(FileSave& file, const Path& path);
Outcome CannotWriteProgramFile(const Path& path);

// Saves the file safely as a program: a new file is made with execute permission as the
// user's umask allows (0755 under the usual 022). On failure gives "Failed to write file
// <path>" and leaves nothing of the download behind.
Outcome WriteProgramFile(const Path& path, std::string_view bytes);

}  // namespace qen
