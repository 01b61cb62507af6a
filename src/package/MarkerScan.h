#pragma once
// Looking for the package marker in a file without holding the file: the program file is
// searched at every start, and most programs carry no package.
#include <cstddef>
#include <string_view>

#include "base/Path.h"

namespace qen {

// Bytes read at a time; a marker across two pieces is still found.
inline constexpr std::size_t kMarkerScanPiece = 256 * 1024;

enum class MarkerInFile {
    Absent,
    Present,
    // Not a regular file, unreadable or empty: reading it whole says what is wrong.
    Unknown,
};

MarkerInFile FindMarkerInFile(const Path& path, std::string_view marker);

}  // namespace qen
