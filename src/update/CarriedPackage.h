#pragma once
// The content package a bound program carries, as a new copy of the program must carry it.
#include <string>

namespace qen {

struct ContentPackage;

// The block from its first marker to the end of the program file, with its members
// enciphered as in the file. The site deciphers the members in place once the branding
// has been read; this is for a package in that state.
std::string PackageAsCarried(const ContentPackage& package);

}  // namespace qen
