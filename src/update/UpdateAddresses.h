#pragma once
// Where the update server and the second download server keep the files of an update.
// Program files have no extension here, so one server can hold both platforms' files.
#include <string>

namespace qen {

class Settings;

std::string VersionFileAddress(Settings& settings);
// The new program for this copy: from the second download server for a copy under its
// standard name, from the update server for any other copy.
std::string ProgramAddress(Settings& settings, bool standardName);
std::string ReplacerAddress(Settings& settings);
// The detached signature published beside a file.
std::string SignatureAddress(const std::string& fileAddress);

}  // namespace qen
