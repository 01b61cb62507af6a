#include "package/MarkerScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/TempDir.h"

namespace qen {
namespace {

using test::WriteFile;

TEST(FindMarkerInFile, FindsTheMarkerWhereverItStandsInPieces) {
    const std::string marker = "<<" + std::string(96, 'M') + ">>";
    const std::size_t piece = kMarkerScanPiece;
    struct Case {
        const char* what;
        std::string bytes;
        MarkerInFile expected;
    };
    const std::vector<Case> cases = {
        {"at the start", marker + std::string(1000, 'x'), MarkerInFile::Present},
        {"across the first two pieces", std::string(piece - 40, 'x') + marker + "tail", MarkerInFile::Present},
        {"ending the first piece", std::string(piece - marker.size(), 'x') + marker, MarkerInFile::Present},
        {"far on", std::string(3 * piece + 17, 'x') + marker, MarkerInFile::Present},
        {"nowhere", std::string(2 * piece + 5, 'x'), MarkerInFile::Absent},
        {"only its first half at the end", std::string(piece - 50, 'x') + marker.substr(0, 50), MarkerInFile::Absent},
        {"one byte changed", std::string(piece, 'x') + marker.substr(0, 60) + "?" + marker.substr(61),
         MarkerInFile::Absent},
        {"an empty file", "", MarkerInFile::Unknown},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        WriteFile(dir / "program", c.bytes);
        EXPECT_EQ(FindMarkerInFile(dir / "program", marker), c.expected) << c.what;
    }
    // What cannot be searched is left to the whole read, which says why.
    EXPECT_EQ(FindMarkerInFile(dir / "missing", marker), MarkerInFile::Unknown);
    EXPECT_EQ(FindMarkerInFile(dir.path(), marker), MarkerInFile::Unknown);
}

}  // namespace
}  // namespace qen
