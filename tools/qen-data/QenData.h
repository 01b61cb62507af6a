#pragma once
// The logic of the qen-data tool: the user data file as JSON for users and support.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/UserDataFile.h"
#include "store/VideoStore.h"

namespace qen::qendata {

// System text (cp1252, references kept as they are) to UTF-8, and back. Characters that
// cp1252 cannot hold come back as "&#N;" references, as the runtime carries them.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);

// "2023-11-14T22:13:20Z"
std::string IsoDate(std::uint32_t secondsSince1970);

std::string ExportJson(const UserData& data);
// False with `error` set when the JSON is not a store this tool wrote or could have
// written (wrong types, unknown fields, lists above capacity, timestamps out of range).
bool ImportJson(std::string_view json, UserData& out, std::string& error);
// One line on a file image: what it holds when sound, or where it breaks.
std::string CheckImage(std::string_view image, bool& sound);
// Two lines, "kept: ..." and "lost: ...", on what a salvage read whole; lists the file
// states as empty are not counted as lost.
std::string DescribeSalvage(const UserDataSalvage& salvage);

extern const char* const kQenDataUsage;

// All of `in` while it stays within `limit` bytes; nullopt once it goes past.
std::optional<std::string> ReadAllInput(std::istream& in, std::uintmax_t limit);

// The command line after the program name; "import -" reads `in` (standard input by
// default). Exit codes: 0 done, 1 damaged or rejected input, 2 usage or file errors.
// Errors are one line on `err`, starting with "qen-data: ".
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace qen::qendata
