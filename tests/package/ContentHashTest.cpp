#include "package/ContentHash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "fakes/TestPackages.h"
#include "package/PackageFormat.h"

namespace qen {
namespace {

std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 0x0F];
    }
    return hex;
}

// The hash is SHA-256 of exactly the member table and the data region: the tool and the
// runtime must agree on it byte for byte.
TEST(ContentHash, IsSha256OfTheMemberTableAndTheDataRegion) {
    std::string image(block::kData, '\0');
    image.replace(0, 6, "header");  // outside the hashed span
    EXPECT_EQ(Hex(ComputeContentHash(image, 0)),
              "95b532cc4381affdff0d956e12520a04129ed49d37e154228368fe5621f0b9a2");  // 10000 zero bytes

    WriteWord(image, block::kDataLength, 8);
    image += "aaaaaaaa" "trailing";  // bytes after the data region are not the package's
    EXPECT_EQ(Hex(ComputeContentHash(image, 0)),
              "c7fea08fa07e5c9f38245c1afb2d2cab3934734ec313fca40e5e5d011c91fb26");  // ... then "aaaaaaaa"

    WriteWord(image, block::kDataLength, 24);  // past the end of the image
    EXPECT_EQ(ComputeContentHash(image, 0), "");
}

TEST(ContentHash, CheckTellsAChangedPackageFromOneWithoutAHash) {
    const std::string built = test::MakeBlock(test::SmallSite());
    const std::size_t dataEnd = block::kData + ReadWord(built, block::kDataLength);
    struct Case {
        const char* what;
        std::function<void(std::string&)> change;
        ContentHashCheck expected;
    };
    const Case cases[] = {
        {"as built", [](std::string&) {}, ContentHashCheck::Matches},
        {"behind a program", [](std::string& image) { image.insert(0, "program bytes"); }, ContentHashCheck::Matches},
        {"bytes after the data", [](std::string& image) { image += "appended"; }, ContentHashCheck::Matches},
        {"a header field", [](std::string& image) { image[block::kTitle] ^= 1; }, ContentHashCheck::Matches},
        {"first data byte", [](std::string& image) { image[block::kData] ^= 1; }, ContentHashCheck::Differs},
        {"last data byte", [&](std::string& image) { image[dataEnd - 1] ^= 0x80; }, ContentHashCheck::Differs},
        {"a member's size", [](std::string& image) { image[test::MemberRow(1) + 4] ^= 1; },
         ContentHashCheck::Differs},
        {"a member's name", [](std::string& image) { image[test::MemberRow(1) + block::kMemberNameOffset] ^= 1; },
         ContentHashCheck::Differs},
        {"one bit of the hash", [](std::string& image) { image[block::kContentHash + 31] ^= 1; },
         ContentHashCheck::Differs},
        {"hash area zeroed",
         [](std::string& image) {
             image.replace(block::kContentHash, block::kContentHashSize, block::kContentHashSize, '\0');
         },
         ContentHashCheck::NotRecorded},
    };
    for (const Case& c : cases) {
        std::string image = built;
        c.change(image);
        const std::size_t start = image.find(built.substr(0, block::kMarkerSize));
        EXPECT_EQ(CheckContentHash(image, start), c.expected) << c.what;
    }
}

// Read from a file piece by piece, the data region is asked for once, in order, and hashes
// as the whole does; a piece the file no longer has makes the hash unusable, never a match.
TEST(ContentHash, PiecesCoverTheDataRegionOnceWhateverItsLength) {
    constexpr std::size_t kPiece = 256 * 1024;
    for (const std::size_t length : {std::size_t{0}, std::size_t{8}, kPiece, kPiece + 8, 3 * kPiece + 24}) {
        std::string image(block::kData + length, '\0');
        for (std::size_t i = block::kMemberTable; i < image.size(); ++i) image[i] = static_cast<char>(i * 7);
        WriteWord(image, block::kDataLength, static_cast<std::uint32_t>(length));
        const std::string whole = ComputeContentHash(image, 0);
        const std::string_view header = std::string_view(image).substr(0, block::kData);

        std::uint64_t next = 0;
        std::string piece;
        const std::string pieceByPiece = ComputeContentHashInPieces(header, [&](std::uint64_t from, std::size_t count) {
            EXPECT_EQ(from, next) << length;
            next = from + count;
            piece = image.substr(block::kData + from, count);  // a buffer of its own, as a file read has
            return std::string_view(piece);
        });
        EXPECT_EQ(next, length);
        EXPECT_EQ(pieceByPiece, whole) << length;
        EXPECT_EQ(whole.size(), block::kContentHashSize);

        if (length == 0) continue;
        const auto cutShort = [&](std::uint64_t from, std::size_t count) {
            return std::string_view(image).substr(block::kData + from, from + count == length ? count - 1 : count);
        };
        image.replace(block::kContentHash, whole.size(), whole);
        EXPECT_EQ(ComputeContentHashInPieces(header, cutShort), "") << length;
        EXPECT_EQ(CheckContentHashInPieces(header, cutShort), ContentHashCheck::Differs) << length;
    }
}

}  // namespace
}  // namespace qen
