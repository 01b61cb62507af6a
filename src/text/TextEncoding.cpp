#include "text/TextEncoding.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

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
    if (codePoint > 0x2122) return -1;  // beyond the table's largest, the trade mark sign
    for (std::size_t k = 0; k < kCp1252High.size(); ++k)
        if (kCp1252High[k] == codePoint) return static_cast<int>(0x80 + k);
    return -1;
}

// Only the declaration is searched: the text is read up to its first zero byte, but looking
// for that zero through a whole download would cost more than the declaration test itself.
bool DeclaresUtf8(std::string_view data) {
    if (!data.starts_with("<?xml")) return false;
    const std::size_t declarationEnd = data.find("?>");
    if (declarationEnd == std::string_view::npos) return false;
    // No spelling holds a "?", so none can run into the declaration's end.
    const std::string_view declaration = data.substr(0, declarationEnd);
    if (declaration.find('\0') != std::string_view::npos) return false;
    static constexpr std::string_view spellings[] = {"utf-8", "UTF-8", "Utf-8", "utf8", "UTF8", "Utf8"};
    for (std::string_view spelling : spellings)
        if (declaration.find(spelling) != std::string_view::npos) return true;
    return false;
}

// One UTF-8 sequence from `p` as its lead byte announces it, without checking the
// continuation bytes; bytes beyond the end read as zero. Advances `p`.
[[gnu::always_inline]] inline std::uint32_t NextUtf8CodePoint(std::string_view data, std::size_t& p) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const std::uint32_t b = bytes[p];
    if (b >= 0xC0 && b < 0xE0 && p + 1 < data.size()) {  // the accented letters of most feeds
        const std::uint32_t codePoint = ((b & 0x1Fu) << 6) | (bytes[p + 1] & 0x3Fu);
        p += 2;
        return codePoint;
    }
    // The number of trailing bytes and the lead byte's share of the value, by lead byte.
    const int trailing = b >= 0xFC ? 5 : b >= 0xF8 ? 4 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    std::uint32_t codePoint = trailing == 0 ? b : b & (0x3Fu >> trailing);
    const auto count = static_cast<std::size_t>(trailing);
    if (p + count < data.size()) {
        for (std::size_t i = 1; i <= count; ++i) codePoint = (codePoint << 6) | (bytes[p + i] & 0x3Fu);
    } else {
        for (std::size_t i = 1; i <= count; ++i)
            codePoint = (codePoint << 6) | (p + i < data.size() ? bytes[p + i] & 0x3Fu : 0u);
    }
    p += count + 1;
    return codePoint;
}

// Writes "&#N;" at `at` (room for 13 bytes) and returns its length.
std::size_t WriteReference(char* at, std::uint32_t codePoint) {
    // Two digits a step: a feed's references are mostly four or five digits long.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    std::size_t digits = 1;
    for (std::uint32_t limit = 10; digits < 10 && codePoint >= limit; limit *= 10) ++digits;
    at[0] = '&';
    at[1] = '#';
    at[digits + 2] = ';';
    char* digit = at + digits + 2;  // behind the last digit
    while (codePoint >= 100) {
        const std::uint32_t pair = codePoint % 100;
        codePoint /= 100;
        *--digit = kPairs[2 * pair + 1];
        *--digit = kPairs[2 * pair];
    }
    if (codePoint >= 10) {
        *--digit = kPairs[2 * codePoint + 1];
        *--digit = kPairs[2 * codePoint];
    } else {
        *--digit = static_cast<char>('0' + codePoint);
    }
    return digits + 3;
}

// The output of a conversion, written through a pointer: a feed is megabytes of plain
// runs with a character to convert every few dozen bytes, and appending each piece to a
// string costs more than the conversion itself.
class ConvertedText {
public:
    // A few percent more than the input holds a feed with a few references per line.
    explicit ConvertedText(std::size_t inputSize) { text_.resize(inputSize + inputSize / 8 + 32); }

    // Where the next bytes go, with room for `count` of them.
    char* Room(std::size_t count) {
        if (text_.size() - used_ < count) text_.resize(std::max(2 * text_.size(), used_ + count));
        return text_.data() + used_;
    }
    void Wrote(std::size_t count) { used_ += count; }
    std::string Finish() && {
        text_.resize(used_);
        return std::move(text_);
    }

private:
    std::string text_;
    std::size_t used_ = 0;
};

// Copies the run at the start of `text` that every conversion keeps as it is to `out` and
// returns its length: bytes below 0x80, other than a zero byte when `zeroEnds` and other
// than `stop` when it is not zero. `out` has room for the run and 8 bytes more, since eight
// bytes are copied and looked at a time.
[[gnu::always_inline]] inline std::size_t CopyPlainRun(std::string_view text, char* out, bool zeroEnds, char stop) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    // The high bit of the first zero byte of `word` and of none before it (later ones may be
    // set by a borrow, which the lowest-first search below never reaches).
    auto zeroBytes = [](std::uint64_t word) { return (word - kOnes) & ~word & kHighBits; };
    const std::uint64_t stopPattern = kOnes * static_cast<unsigned char>(stop);
    std::size_t length = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (length + 8 <= text.size()) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + length, 8);
            std::memcpy(out + length, &word, 8);
            std::uint64_t ends = word & kHighBits;
            if (zeroEnds) ends |= zeroBytes(word);
            if (stop != '\0') ends |= zeroBytes(word ^ stopPattern);
            if (ends != 0) return length + static_cast<std::size_t>(std::countr_zero(ends)) / 8;
            length += 8;
        }
    }
    while (length < text.size()) {
        const auto byte = static_cast<unsigned char>(text[length]);
        if (byte >= 0x80 || (zeroEnds && byte == 0) || (stop != '\0' && text[length] == stop)) break;
        out[length] = text[length];
        ++length;
    }
    return length;
}

}  // namespace

void AppendReference(std::string& out, std::uint32_t codePoint) {
    char reference[13];
    out.append(reference, WriteReference(reference, codePoint));
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
    ConvertedText out(data.size());
    std::size_t p = 0;
    while (p < data.size()) {
        // Room for the rest as it is, or for one reference (at most 13 bytes) after the run.
        char* at = out.Room(data.size() - p + 16);
        const std::size_t plain = CopyPlainRun(data.substr(p), at, /*zeroEnds=*/true, '\0');
        p += plain;
        at += plain;
        out.Wrote(plain);
        if (p == data.size()) break;
        const std::uint32_t codePoint = NextUtf8CodePoint(data, p);
        if (codePoint == 0) break;  // the text ends at a zero byte
        if (codePoint >= 255) {
            out.Wrote(WriteReference(at, codePoint));
        } else {
            *at = static_cast<char>(codePoint);
            out.Wrote(1);
        }
    }
    return std::move(out).Finish();
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
    ConvertedText out(utf8.size());
    const char stop = ampersands == Ampersands::Encode ? '&' : '\0';
    std::size_t p = 0;
    while (p < utf8.size()) {
        char* at = out.Room(utf8.size() - p + 16);
        const std::size_t plain = CopyPlainRun(utf8.substr(p), at, /*zeroEnds=*/false, stop);
        p += plain;
        at += plain;
        out.Wrote(plain);
        if (p == utf8.size()) break;
        const auto lead = static_cast<unsigned char>(utf8[p]);
        std::uint32_t codePoint;
        if (lead >= 0x80 && lead < 0xC0) {
            codePoint = lead;  // a stray continuation byte is taken as it is
            ++p;
        } else {
            codePoint = NextUtf8CodePoint(utf8, p);
        }
        if (codePoint == '&' && ampersands == Ampersands::Encode) {
            std::memcpy(at, "&#38;", 5);
            out.Wrote(5);
            continue;
        }
        const int byte = ByteOfCodePoint(codePoint);
        if (byte >= 0) {
            *at = static_cast<char>(byte);
            out.Wrote(1);
        } else {
            out.Wrote(WriteReference(at, codePoint));
        }
    }
    return std::move(out).Finish();
}

std::string PathToSystemText(std::string_view path) { return Utf8ToAnsiWithReferences(path); }

}  // namespace qen
