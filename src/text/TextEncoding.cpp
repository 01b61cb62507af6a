#include "text/TextEncoding.h"

#include <cstdint>

namespace qen {

namespace {

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

}  // namespace

std::string Utf8ToAnsiWithReferences(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const std::size_t length = data.size();
    // Missing bytes of a sequence cut off by the end of the input read as zero.
    auto at = [&](std::size_t index) -> std::uint32_t { return index < length ? bytes[index] : 0u; };

    std::size_t p = 0;
    while (p < length) {
        std::uint32_t b = bytes[p];
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

        if (codePoint == 0) break;  // the text ends at a zero byte
        if (codePoint >= 255)
            AppendReference(out, codePoint);
        else
            out += static_cast<char>(codePoint);
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

    if (image.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        std::string out;
        out.reserve(image.size());
        const std::size_t units = image.size() / 2;  // an odd last byte is not a unit
        for (std::size_t u = 1; u < units; ++u) {
            std::uint32_t unit = byte(2 * u) | (static_cast<std::uint32_t>(byte(2 * u + 1)) << 8);
            if (unit == 0) continue;
            if (unit >= 256)
                AppendReference(out, unit);
            else
                out += static_cast<char>(unit);
        }
        return out;
    }

    if (image.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
        return Utf8ToAnsiWithReferences(std::string_view(image).substr(3));
    }

    return image;
}

}  // namespace qen
