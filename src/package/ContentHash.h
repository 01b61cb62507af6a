#pragma once
// The hash of a package's content: SHA-256 over the member table and the enciphered data
// region, recorded in the header, where the header digest covers it. The digest alone
// proves only that the header is the packaging tool's; this proves the files are too.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qen {

// The data region piece by piece: `count` bytes from `from` (counted from the region's
// start), as a view that may end with the next call; shorter when they cannot be read.
using DataPieces = std::function<std::string_view(std::uint64_t from, std::size_t count)>;

enum class ContentHashCheck { NotRecorded, Matches, Differs };

// `header` is the block's first bytes, up to its data region (header and member table); the
// data region comes from `data`. The 32 raw bytes of the hash; empty if the header is short
// or the digest library or a read fails.
std::string ComputeContentHashInPieces(std::string_view header, const DataPieces& data);
// Compares the hash the header records with the content's. All zeros is a package without one.
ContentHashCheck CheckContentHashInPieces(std::string_view header, const DataPieces& data);

// The same for a whole block held in memory whose layout passed CheckBlockLayout.
std::string ComputeContentHash(std::string_view image, std::size_t blockStart);
ContentHashCheck CheckContentHash(std::string_view image, std::size_t blockStart);

}  // namespace qen
