#include "text/TextEncoding.h"

#include <array>

namespace qen {

namespace {

// Code points of the cp1252 bytes 0x80 to 0x9F; the five unassigned bytes keep their value.
constexpr std::array<std::uint16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::uint32_t CodePointOfByte(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
}

// The cp1252 byte of a code point, or -1 when cp1252 has none.
int ByteOfCodePoint(std::uint32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<int>(codePoint);
    for (std::size_t k = 0; k < kCp1252High.size(); ++k)
        if (kCp1252High[k] == codePoint) return static_cast<int>(0x80 + k);
    return -1;
}

bool DeclaresUtf8(std::string_view data) {
    std::string_view text = data.substr(0, data.find('\0'));
    if (!text.starts_with("<?xml")) return false;
    std::size_t declarationEnd = text.find("?>");
    if (declarationEnd == std::string_view::npos) return false;
    static constexpr std::string_view spellings[] = {"utf-8", "UTF-8", "Utf-8", "utf8", "UTF8", "Utf8"};
    for (std::string_view spelling : spellings) {
        std::size_t at = text.find(spelling);
        if (at != std::string_view::npos && at < declarationEnd) return true;
    }
    return false;
}

// One UTF-8 sequence from `p` as its lead byte announces it, without checking the
// continuation bytes; bytes beyond the end read as zero. Advances `p`.
std::uint32_t NextUtf8CodePoint(std::string_view data, std::size_t& p) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    auto at = [&](std::size_t index) -> std::uint32_t { return index < data.size() ? bytes[index] : 0u; };
    const std::uint32_t b = bytes[p];
    int trailing;
    std::uint32_t codePoint;
    if (b >= 0xFC) {
        trailing = 5;
        codePoint = b & 0x01;
    } else if (b >= 0xF8) {
        trailing = 4;
        codePoint = b & 0x03;
    } else if (b >= 0xF0) {
        trailing = 3;
        codePoint = b & 0x07;
    } else if (b >= 0xE0) {
        trailing = 2;
        codePoint = b & 0x0F;
    } else if (b >= 0xC0) {
        trailing = 1;
        codePoint = b & 0x1F;
    } else {
        trailing = 0;
        codePoint = b;
    }
    for (int i = 1; i <= trailing; ++i) codePoint = (codePoint << 6) | (at(p + i) & 0x3F);
    p += static_cast<std::size_t>(trailing) + 1;
    return codePoint;
}

}  // namespace

void AppendReference(std::string& out, std::uint32_t codePoint) {
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + codePoint % 10);
        codePoint /= 10;
    } while (codePoint != 0);
    out += "&#";
    while (count > 0) out += digits[--count];
    out += ';';
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | ((cp >> 18) & 0x07)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::size_t CharacterReferenceLength(std::string_view text) {
    constexpr std::size_t kMaxDigits = 7;  // the largest code point, 1114111, has seven
    if (text.size() < 4 || text[0] != '&' || text[1] != '#') return 0;
    std::size_t i = 2;
    while (i < text.size() && i - 2 < kMaxDigits && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == 2 || i >= text.size() || text[i] != ';') return 0;
    return i + 1;
}

std::string Utf8ToAnsiWithReferences(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    std::size_t p = 0;
    while (p < data.size()) {
        const std::uint32_t codePoint = NextUtf8CodePoint(data, p);
        if (codePoint == 0) break;  // the text ends at a zero byte
        if (codePoint >= 255)
            AppendReference(out, codePoint);
        else
            out += static_cast<char>(codePoint);
    }
    return out;
}

std::string Utf16LeToAnsiWithReferences(std::string_view units) {
    std::string out;
    out.reserve(units.size() / 2);
    const std::size_t count = units.size() / 2;
    auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(units[2 * i]) |
                                          (static_cast<std::uint8_t>(units[2 * i + 1]) << 8));
    };
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t u = unit(i);
        if (u == 0) continue;
        if (u < 256) {
            out.push_back(static_cast<char>(u));
            continue;
        }
        // A reference to half a pair is no character at all; the pair is one.
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < count) {
            const std::uint32_t low = unit(i + 1);
            if (low >= 0xDC00 && low < 0xE000) {
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendReference(out, u);
    }
    return out;
}

std::string DecodeDownloadedText(std::string_view data) {
    if (DeclaresUtf8(data)) return Utf8ToAnsiWithReferences(data);
    return std::string(data.substr(0, data.find('\0')));
}

std::string ConvertMarkedText(std::string image) {
    auto byte = [&](std::size_t index) { return static_cast<unsigned char>(image[index]); };

    if (image.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) {
        for (std::size_t i = 0; i + 1 < image.size(); i += 2) std::swap(image[i], image[i + 1]);
    }
    if (image.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE)
        return Utf16LeToAnsiWithReferences(std::string_view(image).substr(2));
    if (image.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF)
        return Utf8ToAnsiWithReferences(std::string_view(image).substr(3));
    return image;
}

std::string SystemTextToUtf8(std::string_view systemText, References references) {
    std::string out;
    out.reserve(systemText.size() + systemText.size() / 4);
    for (std::size_t i = 0; i < systemText.size(); ++i) {
        if (references == References::Decode) {
            if (const std::size_t length = CharacterReferenceLength(systemText.substr(i))) {
                std::uint32_t code = 0;
                for (std::size_t k = 2; k + 1 < length; ++k)
                    code = code * 10 + static_cast<std::uint32_t>(systemText[i + k] - '0');
                const bool character = code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
                if (character) {
                    AppendUtf8(out, code);
                    i += length - 1;
                    continue;
                }
            }
        }
        AppendUtf8(out, CodePointOfByte(static_cast<unsigned char>(systemText[i])));
    }
    return out;
}

std::string Utf8ToSystemText(std::string_view utf8, Ampersands ampersands) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t p = 0;
    while (p < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[p]);
        std::uint32_t codePoint;
        if (lead >= 0x80 && lead < 0xC0) {
            codePoint = lead;  // a stray continuation byte is taken as it is
            ++p;
        } else {
            codePoint = NextUtf8CodePoint(utf8, p);
        }
        if (codePoint == '&' && ampersands == Ampersands::Encode) {
            out += "&#38;";
            continue;
        }
        const int byte = ByteOfCodePoint(codePoint);
        if (byte >= 0)
            out += static_cast<char>(byte);
        else
            AppendReference(out, codePoint);
    }
    return out;
}

std::string PathToSystemText(std::string_view path) { return Utf8ToAnsiWithReferences(path); }

}  // namespace qen
