#include "package/PackageSecrets.h"

namespace qen {

namespace {

// Kept as two separate arrays (each with its own terminating zero) so the joined marker
// never stands in the program image as one run of bytes.
constexpr char kMarkerFirst[] = "#QEN-BRANDER-BLOCK#Harrowmint/Plumtree:4f8e1c77a2d9b35";
constexpr char kMarkerSecond[] = "0e6c9d1f7b2a8e4c3d5f6a9b0c1d2e3f4a5b6c7d8e9f!]";
static_assert(sizeof(kMarkerFirst) - 1 == 54 && sizeof(kMarkerSecond) - 1 == 46);

constexpr char kKeyPiece1[] = "Vantlow chestnut harbour 7";
constexpr char kKeyPiece2[] = "brambleset quill & lantern, 42 oaks";
constexpr char kKeyPiece3[] = "Harrowmint: silver fern meadow 9";
constexpr char kKeyPiece4[] = "plumtree gallant rode home at dusk, 3";
constexpr char kKeyPiece5[] = "EVERY package keeps its own counsel.";
constexpr char kKeyPiece6[] =
    "The quick lark sings over Qen Runtime fields while copper kettles hum at noon!";
static_assert(sizeof(kKeyPiece1) - 1 == 26 && sizeof(kKeyPiece2) - 1 == 35 &&
              sizeof(kKeyPiece3) - 1 == 32 && sizeof(kKeyPiece4) - 1 == 37 &&
              sizeof(kKeyPiece5) - 1 == 36 && sizeof(kKeyPiece6) - 1 == 78);

constexpr char kDigestPrefix[] = "Qen:prefix/Harrowmint~5c2b9e07d1a4f836e7";
constexpr char kDigestSuffix[] = "Qen:suffix/Plumtree~a81f4d6c2e9b07f35d1c";
static_assert(sizeof(kDigestPrefix) - 1 == 40 && sizeof(kDigestSuffix) - 1 == 40);

}  // namespace

std::string_view BlockMarkerFirstPiece() { return kMarkerFirst; }
std::string_view BlockMarkerSecondPiece() { return kMarkerSecond; }

std::string BlockMarker() {
    std::string marker(BlockMarkerFirstPiece());
    marker += BlockMarkerSecondPiece();
    return marker;
}

std::string PackageCipherKey() {
    std::string key = std::string(kKeyPiece1) + kKeyPiece3 + kKeyPiece5 + kKeyPiece2 + kKeyPiece4 +
                      kKeyPiece6;
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<char>(static_cast<unsigned char>(key[i]) + i % 17);
    return key;
}

std::string_view DigestPrefix() { return {kDigestPrefix, sizeof(kDigestPrefix) - 1}; }
std::string_view DigestSuffix() { return {kDigestSuffix, sizeof(kDigestSuffix) - 1}; }

}  // namespace qen
