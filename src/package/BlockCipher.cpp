#include "package/BlockCipher.h"

#include <cstring>

namespace qen {

namespace {

#include "package/BlowfishTables.inc"

std::uint32_t LoadLittle(const std::uint8_t* bytes) {
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

void StoreLittle(std::uint32_t word, std::uint8_t* bytes) {
    bytes[0] = std::uint8_t(word);
    bytes[1] = std::uint8_t(word >> 8);
    bytes[2] = std::uint8_t(word >> 16);
    bytes[3] = std::uint8_t(word >> 24);
}

// Eight blocks at a time: enough to fill the look-ups, few enough for the registers.
constexpr std::size_t kLanes = 8;
constexpr std::size_t kRunBytes = 8 * kLanes;
constexpr auto kLaneIndices = std::make_index_sequence<kLanes>();

}  // namespace

BlowfishCipher::BlowfishCipher(std::string_view key) {
    std::size_t length = 0;
    while (length < key.size() && length < kMaxKeyBytes && key[length] != '\0') ++length;

    for (std::size_t i = 0; i < p_.size(); ++i) p_[i] = kPiWords[i];
    for (std::size_t box = 0; box < 4; ++box)
        for (std::size_t i = 0; i < 256; ++i) s_[box][i] = kPiWords[18 + box * 256 + i];

    // An empty key leaves the tables as they are rather than dividing by its length.
    if (length > 0) {
        std::size_t k = 0;
        for (auto& word : p_) {
            std::uint32_t keyWord = 0;
            for (int b = 0; b < 4; ++b) {
                keyWord = keyWord << 8 | static_cast<std::uint8_t>(key[k]);
                k = (k + 1) % length;
            }
            word ^= keyWord;
        }
    }

    std::uint32_t left = 0, right = 0;
    for (std::size_t i = 0; i < p_.size(); i += 2) {
        EncryptBlock(left, right);
        p_[i] = left;
        p_[i + 1] = right;
    }
    for (auto& box : s_) {
        for (std::size_t i = 0; i < box.size(); i += 2) {
            EncryptBlock(left, right);
            box[i] = left;
            box[i + 1] = right;
        }
    }
}

std::uint32_t BlowfishCipher::Round(std::uint32_t x) const {
    return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) + s_[3][x & 0xFF];
}

void BlowfishCipher::EncryptBlock(std::uint32_t& left, std::uint32_t& right) const {
    std::uint32_t l = left, r = right;
    for (int i = 0; i < 16; i += 2) {
        l ^= p_[i];
        r ^= Round(l);
        r ^= p_[i + 1];
        l ^= Round(r);
    }
    l ^= p_[16];
    r ^= p_[17];
    left = r;
    right = l;
}

void BlowfishCipher::DecryptBlock(std::uint32_t& left, std::uint32_t& right) const {
    std::uint32_t l = left, r = right;
    for (int i = 17; i > 1; i -= 2) {
        l ^= p_[i];
        r ^= Round(l);
        r ^= p_[i - 1];
        l ^= Round(r);
    }
    l ^= p_[1];
    r ^= p_[0];
    left = r;
    right = l;
}

template <std::size_t... Lane>
void BlowfishCipher::EncryptBlocks(std::uint8_t* bytes, std::index_sequence<Lane...>) const {
    std::uint32_t l[] = {LoadLittle(bytes + 8 * Lane)...};
    std::uint32_t r[] = {LoadLittle(bytes + 8 * Lane + 4)...};
    for (int i = 0; i < 16; i += 2) {
        const std::uint32_t even = p_[i], odd = p_[i + 1];
        ((l[Lane] ^= even), ...);
        ((r[Lane] ^= Round(l[Lane]) ^ odd), ...);
        ((l[Lane] ^= Round(r[Lane])), ...);
    }
    // The final swap: the right half goes first.
    ((StoreLittle(r[Lane] ^ p_[17], bytes + 8 * Lane), StoreLittle(l[Lane] ^ p_[16], bytes + 8 * Lane + 4)), ...);
}

template <std::size_t... Lane>
void BlowfishCipher::DecryptBlocks(std::uint8_t* bytes, std::index_sequence<Lane...>) const {
    std::uint32_t l[] = {LoadLittle(bytes + 8 * Lane)...};
    std::uint32_t r[] = {LoadLittle(bytes + 8 * Lane + 4)...};
    for (int i = 17; i > 1; i -= 2) {
        const std::uint32_t odd = p_[i], even = p_[i - 1];
        ((l[Lane] ^= odd), ...);
        ((r[Lane] ^= Round(l[Lane]) ^ even), ...);
        ((l[Lane] ^= Round(r[Lane])), ...);
    }
    ((StoreLittle(r[Lane] ^ p_[0], bytes + 8 * Lane), StoreLittle(l[Lane] ^ p_[1], bytes + 8 * Lane + 4)), ...);
}

std::size_t BlowfishCipher::Encrypt(const std::uint8_t* data, std::size_t count, std::uint8_t* out) {
    if (data != out && count > 0) std::memmove(out, data, count);
    const std::size_t padded = (count + 7) / 8 * 8;
    if (padded > count) std::memset(out + count, 0, padded - count);
    std::size_t at = 0;
    for (; at + kRunBytes <= padded; at += kRunBytes) EncryptBlocks(out + at, kLaneIndices);
    for (; at < padded; at += 8) {
        std::uint32_t left = LoadLittle(out + at), right = LoadLittle(out + at + 4);
        EncryptBlock(left, right);
        StoreLittle(left, out + at);
        StoreLittle(right, out + at + 4);
    }
    return padded;
}

std::size_t BlowfishCipher::Decrypt(const std::uint8_t* data, std::size_t count, std::uint8_t* out) {
    if (data != out && count > 0) std::memmove(out, data, count);
    DecryptInPlace(out, count);
    return count;
}

void BlowfishCipher::DecryptInPlace(std::uint8_t* bytes, std::size_t count) const {
    std::size_t at = 0;
    for (; at + kRunBytes <= count; at += kRunBytes) DecryptBlocks(bytes + at, kLaneIndices);
    for (; at + 8 <= count; at += 8) {
        std::uint32_t left = LoadLittle(bytes + at), right = LoadLittle(bytes + at + 4);
        DecryptBlock(left, right);
        StoreLittle(left, bytes + at);
        StoreLittle(right, bytes + at + 4);
    }
}

}  // namespace qen
