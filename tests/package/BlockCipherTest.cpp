#include "package/BlockCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace qen {
namespace {

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// A published (big-endian) block as the cipher's byte order has it: each half's bytes reversed.
std::vector<std::uint8_t> WordSwapped(const std::string& bigEndian) {
    std::vector<std::uint8_t> bytes(bigEndian.begin(), bigEndian.end());
    for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
        std::swap(bytes[at], bytes[at + 3]);
        std::swap(bytes[at + 1], bytes[at + 2]);
    }
    return bytes;
}

struct Vector {
    std::string key, plain, cipher;  // key as raw text, blocks in hex
};

std::vector<Vector> PublishedVectors() {
    return {
        {FromHex("FFFFFFFFFFFFFFFF"), "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {FromHex("1111111111111111"), "1111111111111111", "2466DD878B963C9D"},
        {FromHex("0123456789ABCDEF"), "1111111111111111", "61F9C3802281B096"},
        {FromHex("1111111111111111"), "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
        {FromHex("FEDCBA9876543210"), "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
        {FromHex("7CA110454A1A6E57"), "01A1D6D039776742", "59C68245EB05282B"},
        {"abcdefghijklmnopqrstuvwxyz", "424C4F5746495348", "324ED0FEF413A203"},
        {"Who is John Galt?", "FEDCBA9876543210", "CC91732B8022F684"},
    };
}

TEST(BlowfishCipher, PublishedVectorsWithLittleEndianHalves) {
    for (const Vector& vector : PublishedVectors()) {
        SCOPED_TRACE(vector.cipher);
        BlowfishCipher cipher(vector.key);
        std::vector<std::uint8_t> block = WordSwapped(FromHex(vector.plain));
        EXPECT_EQ(cipher.Encrypt(block.data(), 8, block.data()), 8u);
        EXPECT_EQ(block, WordSwapped(FromHex(vector.cipher)));
        EXPECT_EQ(cipher.Decrypt(block.data(), 8, block.data()), 8u);
        EXPECT_EQ(block, WordSwapped(FromHex(vector.plain)));
    }
}

TEST(BlowfishCipher, BigEndianBytesDoNotGiveThePublishedBlock) {
    const Vector vector = PublishedVectors()[4];
    BlowfishCipher cipher(vector.key);
    std::string plain = FromHex(vector.plain);
    std::vector<std::uint8_t> block(plain.begin(), plain.end());
    cipher.Encrypt(block.data(), 8, block.data());
    const std::string published = FromHex(vector.cipher);
    EXPECT_NE(block, std::vector<std::uint8_t>(published.begin(), published.end()));
}

TEST(BlowfishCipher, EncryptPadsWithZerosToWholeBlocks) {
    BlowfishCipher cipher("padding key");
    const std::string text = "thirteen byte";
    ASSERT_EQ(text.size(), 13u);
    std::vector<std::uint8_t> out(16, 0xAA);
    EXPECT_EQ(cipher.Encrypt(reinterpret_cast<const std::uint8_t*>(text.data()), 13, out.data()), 16u);
    cipher.Decrypt(out.data(), 16, out.data());
    EXPECT_EQ(std::string(out.begin(), out.begin() + 13), text);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 13, out.end()), std::vector<std::uint8_t>(3, 0));

    std::vector<std::uint8_t> sixteen(16, 7);
    EXPECT_EQ(cipher.Encrypt(sixteen.data(), 16, sixteen.data()), 16u);
    EXPECT_EQ(cipher.Encrypt(sixteen.data(), 0, sixteen.data()), 0u);
}

TEST(BlowfishCipher, ECBEnciphersEqualBlocksAlike) {
    BlowfishCipher cipher("ecb");
    std::vector<std::uint8_t> data(24, 0x5A);
    cipher.Encrypt(data.data(), data.size(), data.data());
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 8, data.begin() + 8));
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 8, data.begin() + 16));
}

// Long runs are worked several blocks at a time; each block must still come out as if
// it had been the only one, and a trailing part shorter than a block stays as it was.
TEST(BlowfishCipher, EveryBlockOfALongRunIsWorkedOnItsOwn) {
    BlowfishCipher cipher(PublishedVectors()[7].key);
    for (std::size_t size : {8u, 24u, 32u, 40u, 64u, 88u, 1000u, 1003u}) {
        SCOPED_TRACE(size);
        std::vector<std::uint8_t> plain(size);
        for (std::size_t i = 0; i < size; ++i) plain[i] = static_cast<std::uint8_t>(i * 7 + i / 8);

        std::vector<std::uint8_t> expected = plain;
        for (std::size_t at = 0; at + 8 <= size; at += 8) cipher.Encrypt(&expected[at], 8, &expected[at]);
        std::vector<std::uint8_t> whole(size / 8 * 8 + 8);
        const std::size_t padded = cipher.Encrypt(plain.data(), size, whole.data());
        ASSERT_EQ(padded, (size + 7) / 8 * 8);
        EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + size / 8 * 8, whole.begin()));

        std::vector<std::uint8_t> run = expected;
        EXPECT_EQ(cipher.Decrypt(run.data(), size, run.data()), size);
        EXPECT_EQ(run, plain);
    }
    // The published block, repeated: every copy enciphers to the published result.
    const Vector vector = PublishedVectors()[7];
    std::vector<std::uint8_t> repeated;
    for (int n = 0; n < 13; ++n) {
        const std::vector<std::uint8_t> block = WordSwapped(FromHex(vector.plain));
        repeated.insert(repeated.end(), block.begin(), block.end());
    }
    cipher.Encrypt(repeated.data(), repeated.size(), repeated.data());
    for (std::size_t at = 0; at < repeated.size(); at += 8)
        EXPECT_EQ(std::vector<std::uint8_t>(repeated.begin() + at, repeated.begin() + at + 8),
                  WordSwapped(FromHex(vector.cipher)))
            << "block at " << at;
}

TEST(BlowfishCipher, KeyIsCutAfter99BytesAndAtItsFirstZero) {
    std::string longKey;
    for (int i = 0; i < 150; ++i) longKey += static_cast<char>('!' + i % 90);
    auto encipher = [](const std::string& key) {
        BlowfishCipher cipher(key);
        std::vector<std::uint8_t> block = {1, 2, 3, 4, 5, 6, 7, 8};
        cipher.Encrypt(block.data(), 8, block.data());
        return block;
    };
    EXPECT_EQ(encipher(longKey), encipher(longKey.substr(0, 99)));
    // Shorter keys are cycled, so their length matters.
    EXPECT_NE(encipher(longKey.substr(0, 41)), encipher(longKey.substr(0, 40)));
    EXPECT_EQ(encipher(std::string("abc\0def", 7)), encipher("abc"));
}

}  // namespace
}  // namespace qen
