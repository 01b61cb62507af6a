#pragma once
// Whole-file reading and writing with the system's own error messages.
#include <optional>
#include <string>
#include <string_view>

namespace qen {

class Ui;

// The whole file; ".html" and ".txt" files come back converted by ConvertMarkedText.
// On failure shows "Unable to read file: <path>" and gives nullopt.
std::optional<std::string> ReadWholeFile(Ui& ui, const std::string& path);

// Creates or truncates the file and writes the data. On failure shows
// "Failed to write file <path>" and gives false.
bool WriteWholeFile(Ui& ui, const std::string& path, std::string_view data);

// Formats `format` with `text` in place of its "%s" and shows it with the stop icon.
void ShowFormattedError(Ui& ui, std::string_view format, std::string_view text);

}  // namespace qen
