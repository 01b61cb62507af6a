#pragma once
// The hash of a package's content: SHA-256 over the member table and the enciphered data
// region, recorded in the header, where the header digest covers it. The digest alone
// proves only that the header is the packaging tool's; this proves the files are too.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace qen {

// The 32 raw bytes of the hash; empty if the digest library fails. Only for a block
// whose layout passed CheckBlockLayout.
std::string ComputeContentHash(std::string_view image, std::size_t blockStart);

enum class ContentHashCheck { NotRecorded, Matches, Differs };

// Compares the recorded hash with the content. All zeros is a package without one.
ContentHashCheck CheckContentHash(std::string_view image, std::size_t blockStart);

// CheckContentHash in pieces: each piece of the data region, once hashed, is handed to
// `hashed` (its start in the data region and its length, a multiple of 8 but for the
// last), which may change it in place. So one pass over the bytes checks them and, say,
// deciphers them. Every piece is handed over exactly once, hash or not; on a larger region
// pieces go to two threads at once, so `hashed` must be safe to call so.
ContentHashCheck HashWhileDeciphering(std::string_view image, std::size_t blockStart,
                                      const std::function<void(std::size_t from, std::size_t count)>& hashed);

}  // namespace qen
