#pragma once
// Path and address helpers. Paths use "/" here; "\\" is accepted as a separator too.
#include <string>
#include <string_view>

namespace qen {

std::string DirectoryOf(std::string_view path);      // up to and including the last separator
std::string FileNameOf(std::string_view path);       // after the last separator
// A dot counts only inside the file name, never in a folder name.
std::string ExtensionOf(std::string_view path);      // from the last dot, lower-cased (ASCII)
std::string WithoutExtension(std::string_view path); // before the last dot; empty without a dot
std::string WithoutQuery(std::string_view url);      // before the last "?"
std::string QueryValue(std::string_view url, std::string_view key);

}  // namespace qen
