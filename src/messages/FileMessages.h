#pragma once
// Whole-file reading and writing for the callers with a user in front of them: a failure
// is shown with the program's own message, and the caller only tests the result.
#include <optional>
#include <string>
#include <string_view>

#include "files/FileIO.h"

namespace qen {

class Ui;

// ReadWholeFile; on failure shows "Unable to read file: <path>" (after "Insufficient
// memory" when memory ran out) and gives nullopt.
std::optional<std::string> ReadWholeFile(Ui& ui, const Path& path);
// What that ReadWholeFile shows when a read failed with `error`.
void ShowReadFailure(Ui& ui, const Path& path, const FileError& error);

// WriteWholeFile; on failure shows "Failed to write file <path>" and gives false.
bool WriteWholeFile(Ui& ui, const Path& path, std::string_view data);

}  // namespace qen
