#pragma once
// Writing a downloaded program into the program's folder. All update files are written
// here, so the writing stays in one place.
#include <filesystem>
#include <string>
#include <string_view>

namespace qen {

class Ui;

// The mode a freshly written program gets: execute wherever the file may be read. The
// file was created through the user's umask, so its read bits already say what the umask
// allows (0644 becomes 0755, 0600 becomes 0700).
std::filesystem::perms ProgramPermissions(std::filesystem::perms written);

// Writes the file whole and makes it a program. On failure shows "Failed to write file
// <path>", removes what was written and gives false.
bool WriteProgramFile(Ui& ui, const std::string& path, std::string_view bytes);

}  // namespace qen
