#include "package/MarkerScan.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <system_error>

namespace qen {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

MarkerInFile FindMarkerInFile(const Path& path, std::string_view marker) {
    std::error_code error;
    // A device or a pipe could block the read; only a regular file is searched.
    if (marker.empty() || !std::filesystem::is_regular_file(path.Bytes(), error)) return MarkerInFile::Unknown;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.CStr(), "rb"));
    if (!file) return MarkerInFile::Unknown;
    std::setvbuf(file.get(), nullptr, _IONBF, 0);  // straight into the piece, not through a second buffer

    const std::boyer_moore_horspool_searcher searcher(marker.begin(), marker.end());
    // Each piece follows the last marker-length-minus-one bytes of the one before.
    const std::size_t overlap = marker.size() - 1;
    std::string piece(overlap + kMarkerScanPiece, '\0');
    std::size_t kept = 0;
    bool readAny = false;
    for (;;) {
        const std::size_t got = std::fread(piece.data() + kept, 1, kMarkerScanPiece, file.get());
        if (got == 0) break;
        readAny = true;
        const std::size_t filled = kept + got;
        const auto end = piece.begin() + static_cast<std::ptrdiff_t>(filled);
        if (std::search(piece.begin(), end, searcher) != end) return MarkerInFile::Present;
        kept = std::min(filled, overlap);
        std::memmove(piece.data(), piece.data() + filled - kept, kept);
    }
    if (std::ferror(file.get()) || !readAny) return MarkerInFile::Unknown;
    return MarkerInFile::Absent;
}

}  // namespace qen
