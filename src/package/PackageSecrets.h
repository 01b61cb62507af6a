#pragma once
// Values the runtime shares with the packaging tool: block marker, cipher key and the
// strings around the header digest. Change them only together with every package made.
#include <string>
#include <string_view>

namespace qen {

// The 100-character block marker, joined from its two pieces at run time so that the
// program file never carries it whole.
std::string BlockMarker();
// The two pieces as held (for the length check).
std::string_view BlockMarkerFirstPiece();
std::string_view BlockMarkerSecondPiece();

// The package cipher key (the cipher uses its first 99 bytes).
std::string PackageCipherKey();

std::string_view DigestPrefix();  // 40 bytes
std::string_view DigestSuffix();  // 40 bytes

}  // namespace qen
