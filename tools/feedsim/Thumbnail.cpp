#include "feedsim/Thumbnail.h"

#include <array>
#include <cstdint>
#include <vector>

#include "feedsim/Generated.h"

namespace qen::feedsim {

namespace {

struct Colour {
    std::uint8_t r, g, b;
};

constexpr Colour kPalette[] = {
    {0xE5, 0x73, 0x73}, {0xF0, 0x62, 0x92}, {0xBA, 0x68, 0xC8}, {0x95, 0x75, 0xCD},
    {0x79, 0x86, 0xCB}, {0x64, 0xB5, 0xF6}, {0x4F, 0xC3, 0xF7}, {0x4D, 0xD0, 0xE1},
    {0x4D, 0xB6, 0xAC}, {0x81, 0xC7, 0x84}, {0xAE, 0xD5, 0x81}, {0xFF, 0xB7, 0x4D},
};
constexpr Colour kInk = {0x21, 0x21, 0x21};
constexpr Colour kPaper = {0xFA, 0xFA, 0xFA};

const std::array<std::uint32_t, 256>& CrcTable() {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) c = CrcTable()[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(std::string_view bytes) {
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& png, std::string_view type, std::string_view data) {
    PutBigEndian(png, static_cast<std::uint32_t>(data.size()));
    std::string typed(type);
    typed += data;
    png += typed;
    PutBigEndian(png, Crc32(typed));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string StoredZlib(std::string_view raw) {
    std::string out = "\x78\x01";
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min<std::size_t>(raw.size() - offset, 65535);
        const bool last = offset + length == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(length & 0xFF);
        out += static_cast<char>(length >> 8);
        out += static_cast<char>(~length & 0xFF);
        out += static_cast<char>((~length >> 8) & 0xFF);
        out.append(raw.substr(offset, length));
        offset += length;
    } while (offset < raw.size());
    PutBigEndian(out, Adler32(raw));
    return out;
}

int SixBitsOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return 26 + c - 'a';
    if (c >= '0' && c <= '9') return 52 + c - '0';
    return c == '-' ? 62 : 63;
}

}  // namespace

std::string ThumbnailPng(std::string_view videoId) {
    constexpr int w = kThumbnailWidth, h = kThumbnailHeight;
    const Colour background = kPalette[Hash(videoId) % std::size(kPalette)];
    std::vector<Colour> pixels(static_cast<std::size_t>(w * h), background);
    auto fill = [&](int x0, int y0, int x1, int y1, Colour colour) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) pixels[static_cast<std::size_t>(y * w + x)] = colour;
    };

    // A white card in the middle; on it a column of six cells per character of the id.
    constexpr int cell = 8, columns = 16, rows = 6;
    constexpr int cardX = (w - columns * cell) / 2 - 6, cardY = (h - rows * cell) / 2 - 6;
    fill(cardX, cardY, w - cardX, h - cardY, kPaper);
    const std::string_view shown = videoId.substr(0, columns);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const int bits = SixBitsOf(shown[i]);
        for (int bit = 0; bit < rows; ++bit) {
            if (!(bits >> (rows - 1 - bit) & 1)) continue;
            const int x = cardX + 6 + static_cast<int>(i) * cell, y = cardY + 6 + bit * cell;
            fill(x + 1, y + 1, x + cell - 1, y + cell - 1, kInk);
        }
    }

    std::string raw;
    raw.reserve(static_cast<std::size_t>(h * (1 + 3 * w)));
    for (int y = 0; y < h; ++y) {
        raw += '\0';  // no filter
        for (int x = 0; x < w; ++x) {
            const Colour& c = pixels[static_cast<std::size_t>(y * w + x)];
            raw += static_cast<char>(c.r);
            raw += static_cast<char>(c.g);
            raw += static_cast<char>(c.b);
        }
    }

    std::string header;
    PutBigEndian(header, w);
    PutBigEndian(header, h);
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, deflate, no interlace

    std::string png = "\x89PNG\r\n\x1A\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "tEXt", std::string("Comment") + '\0' + std::string(videoId));
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", "");
    return png;
}

}  // namespace qen::feedsim
