#pragma once
// The content package a bound program carries, as a new copy of the program must carry it.
#include <string>

namespace qen {

class ContentPackage;

// The block from its first marker to the end of the program file, with its members
// enciphered as in the file, whether or not they have been deciphered in memory since.
std::string PackageAsCarried(const ContentPackage& package);

}  // namespace qen
