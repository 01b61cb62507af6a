#include "package/PackageSecrets.h"

#include <gtest/gtest.h>

#include <string>

namespace qen {
namespace {

TEST(PackageSecrets, MarkerJoinsTwoPiecesToOneHundredPrintableCharacters) {
    EXPECT_EQ(BlockMarkerFirstPiece().size(), 54u);
    EXPECT_EQ(BlockMarkerSecondPiece().size(), 46u);
    const std::string marker = BlockMarker();
    ASSERT_EQ(marker.size(), 100u);
    for (char c : marker) EXPECT_TRUE(c > ' ' && c < 127);
    EXPECT_GE(PackageCipherKey().size(), 99u);
    EXPECT_EQ(PackageCipherKey().find('\0'), std::string::npos);
}

}  // namespace
}  // namespace qen
