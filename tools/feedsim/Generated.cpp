#include "feedsim/Generated.h"

#include <cctype>

namespace qen::feedsim {

std::uint64_t Hash(std::string_view text, std::uint64_t salt) {
    // FNV-1a, then a final mix so that neighbouring seeds differ in every bit.
    std::uint64_t value = 1469598103934665603ull ^ (salt * 0x9E3779B97F4A7C15ull);
    for (unsigned char c : text) {
        value ^= c;
        value *= 1099511628211ull;
    }
    value ^= value >> 31;
    value *= 0xBF58476D1CE4E5B9ull;
    value ^= value >> 27;
    value *= 0x94D049BB133111EBull;
    return value ^ (value >> 33);
}

std::string VideoId(std::string_view seed, int index) {
    static constexpr std::string_view kCapitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::uint64_t bits = Hash(seed, static_cast<std::uint64_t>(index) + 1);
    std::string id(1, kCapitals[bits % kCapitals.size()]);
    bits = Hash(seed, static_cast<std::uint64_t>(index) + 0x10000);
    while (id.size() < 11) {
        id += kAlphabet[bits & 63];
        bits >>= 6;
    }
    return id;
}

std::string TopicOf(std::string_view words) {
    std::string topic;
    bool wordStart = true;
    for (char c : words) {
        if (c == '-' || c == '_' || c == ' ' || c == '+') {
            if (!topic.empty() && topic.back() != ' ') topic += ' ';
            wordStart = true;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        topic += wordStart ? static_cast<char>(std::toupper(byte)) : static_cast<char>(std::tolower(byte));
        wordStart = false;
    }
    while (!topic.empty() && topic.back() == ' ') topic.pop_back();
    return topic;
}

std::string EscapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Utf8ToWindows1252(std::string_view text) {
    // The characters of 0x80 to 0x9F in Windows-1252, as code points.
    static constexpr char32_t kHighControls[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += static_cast<std::size_t>(length);
        if (code < 0x80 || (code >= 0xA0 && code < 0x100)) {
            out += static_cast<char>(code);
            continue;
        }
        char replacement = '?';
        for (int k = 0; k < 32; ++k)
            if (kHighControls[k] == code) replacement = static_cast<char>(0x80 + k);
        out += replacement;
    }
    return out;
}

std::string FillPattern(std::string_view pattern, std::string_view topic, int number) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.substr(i, 3) == "{T}") {
            out += topic;
            i += 2;
        } else if (pattern.substr(i, 3) == "{N}") {
            out += std::to_string(number);
            i += 2;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace qen::feedsim
