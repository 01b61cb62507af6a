#pragma once
// The package cipher: Blowfish in electronic-codebook mode with little-endian half-words.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace qen {

class BlockCipher {
public:
    virtual ~BlockCipher() = default;
    // Copies `count` bytes to `out` (unless they are the same buffer), zero-pads to a
    // multiple of 8 and enciphers every block in place. `out` needs room for the padded
    // length, which is returned.
    virtual std::size_t Encrypt(const std::uint8_t* data, std::size_t count, std::uint8_t* out) = 0;
    // Copies and deciphers every whole 8-byte block in place; returns `count`.
    // A trailing part shorter than a block is copied unchanged.
    virtual std::size_t Decrypt(const std::uint8_t* data, std::size_t count, std::uint8_t* out) = 0;
};

class BlowfishCipher : public BlockCipher {
public:
    static constexpr std::size_t kMaxKeyBytes = 99;

    // The key ends at its first zero byte and is cut after 99 bytes.
    explicit BlowfishCipher(std::string_view key);

    std::size_t Encrypt(const std::uint8_t* data, std::size_t count, std::uint8_t* out) override;
    std::size_t Decrypt(const std::uint8_t* data, std::size_t count, std::uint8_t* out) override;
    // Decrypt over the bytes where they are; the key's tables are only read.
    void DecryptInPlace(std::uint8_t* bytes, std::size_t count) const;

    void EncryptBlock(std::uint32_t& left, std::uint32_t& right) const;
    void DecryptBlock(std::uint32_t& left, std::uint32_t& right) const;

private:
    std::uint32_t Round(std::uint32_t x) const;
    // Several blocks at once (kLanes, one per index): each block's rounds depend on each
    // other, so independent blocks keep the processor's table look-ups busy where one
    // would leave it waiting.
    template <std::size_t... Lane>
    void EncryptBlocks(std::uint8_t* bytes, std::index_sequence<Lane...>) const;
    template <std::size_t... Lane>
    void DecryptBlocks(std::uint8_t* bytes, std::index_sequence<Lane...>) const;

    std::array<std::uint32_t, 18> p_{};
    std::array<std::array<std::uint32_t, 256>, 4> s_{};
};

}  // namespace qen
