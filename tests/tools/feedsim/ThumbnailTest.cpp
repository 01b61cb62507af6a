#include "feedsim/Thumbnail.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qen::feedsim {
namespace {

struct Chunk {
    std::string type;
    std::string data;
};

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Reads the chunks back, checking each CRC with zlib's own.
std::vector<Chunk> ReadChunks(const std::string& png) {
    std::vector<Chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = BigEndian(png, at);
        EXPECT_LE(at + 12 + length, png.size());
        const std::string typed = png.substr(at + 4, 4 + length);
        const auto crc = crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
        EXPECT_EQ(BigEndian(png, at + 8 + length), crc) << typed.substr(0, 4);
        chunks.push_back({typed.substr(0, 4), typed.substr(4)});
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    return chunks;
}

TEST(Thumbnail, IsAValidPngThatCarriesItsId) {
    const std::string png = ThumbnailPng("AbCdEfGhIjK");
    ASSERT_TRUE(png.starts_with("\x89PNG\r\n\x1A\n"));
    const std::vector<Chunk> chunks = ReadChunks(png);
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks.front().type, "IHDR");
    EXPECT_EQ(chunks.back().type, "IEND");

    const std::string& header = chunks[0].data;
    EXPECT_EQ(BigEndian(header, 0), static_cast<std::uint32_t>(kThumbnailWidth));
    EXPECT_EQ(BigEndian(header, 4), static_cast<std::uint32_t>(kThumbnailHeight));
    EXPECT_EQ(header.substr(8), std::string("\x08\x02\x00\x00\x00", 5));
    EXPECT_EQ(chunks[1].type, "tEXt");
    EXPECT_EQ(chunks[1].data, std::string("Comment\0AbCdEfGhIjK", 19));

    // The image data inflates (zlib checks its own sum) to one filter byte and a row of
    // RGB pixels per line.
    const std::size_t rawSize = kThumbnailHeight * (1 + 3 * kThumbnailWidth);
    std::string raw(rawSize + 1, '\0');
    uLongf rawLength = static_cast<uLongf>(raw.size());
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawLength,
                         reinterpret_cast<const Bytef*>(chunks[2].data.data()), static_cast<uLong>(chunks[2].data.size())),
              Z_OK);
    EXPECT_EQ(rawLength, rawSize);
}

TEST(Thumbnail, EachIdHasItsOwnPicture) {
    EXPECT_EQ(ThumbnailPng("AbCdEfGhIjK"), ThumbnailPng("AbCdEfGhIjK"));
    EXPECT_NE(ThumbnailPng("AbCdEfGhIjK"), ThumbnailPng("AbCdEfGhIjL"));
}

}  // namespace
}  // namespace qen::feedsim
