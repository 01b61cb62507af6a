#pragma once
// MD5 and SHA-1 hex digests, and the keyed digest that guards a package header.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qen {

enum class DigestKind { Md5, Sha1 };

class PackageDigest {
public:
    static constexpr std::size_t kKeyedDigestLength = 72;

    // Lower-case hex digest of the buffer currently held.
    std::string DigestHex(DigestKind kind) const;

    // The 72-digit keyed digest of `data`; nullopt when the working buffer cannot be had.
    std::optional<std::string> KeyedPackageDigest(const std::uint8_t* data, std::size_t length);

private:
    std::vector<std::uint8_t> buffer_;  // held only while a keyed digest is computed
};

// Lower-case hex digest of `data`; empty if the digest library fails.
std::string HexDigest(DigestKind kind, std::string_view data);

// The keyed digest without a message box; empty when memory runs out.
std::string ComputeKeyedPackageDigest(std::string_view data);

// A stored digest matches only with exactly 72 characters, letter case ignored.
bool KeyedDigestsMatch(std::string_view stored, std::string_view computed);

}  // namespace qen
