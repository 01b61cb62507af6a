#include "text/TextOps.h"

namespace qen {

// Builds the result in one pass: replacing in place would move the rest of the text at
// every hit, which a page full of links turns into quadratic time.
std::string ReplaceAll(std::string text, std::string_view token, std::string_view value) {
    if (token.empty()) return text;
    std::size_t at = text.find(token);
    if (at == std::string::npos) return text;
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (; at != std::string::npos; at = text.find(token, from)) {
        out.append(text, from, at - from);
        out.append(value);
        from = at + token.size();
    }
    out.append(text, from, std::string::npos);
    return out;
}

std::string FillTokens(std::string_view templateText, std::span<const TokenValue> values) {
    std::string out;
    out.reserve(templateText.size());
    std::size_t from = 0;
    for (std::size_t at = templateText.find("%%"); at != std::string_view::npos;) {
        const std::string_view rest = templateText.substr(at);
        const TokenValue* found = nullptr;
        for (const TokenValue& value : values)
            if (!value.token.empty() && rest.starts_with(value.token)) {
                found = &value;
                break;
            }
        if (!found) {
            at = templateText.find("%%", at + 1);
            continue;
        }
        out.append(templateText.substr(from, at - from)).append(found->value);
        from = at + found->token.size();
        at = templateText.find("%%", from);
    }
    out.append(templateText.substr(from));
    return out;
}

namespace {
bool IsWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
}  // namespace

std::string TrimWhitespace(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsWhitespace(text[begin])) ++begin;
    while (end > begin && IsWhitespace(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

bool IsIdCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

char ToLowerLetterCp1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return static_cast<char>(u + 0x20);
    return c;
}

char ToUpperLetterCp1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 0x20);
    return c;
}

std::string ToLowerCp1252(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = ToLowerLetterCp1252(c);
    return lower;
}

std::string ToLowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::string TitleCase(std::string_view text) {
    std::string result(text);
    bool wordStart = true;
    for (char& c : result) {
        if (c == ' ' || c == '_' || c == '+' || c == '-') {
            c = ' ';
            wordStart = true;
            continue;
        }
        if (wordStart && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        wordStart = false;
    }
    if (result == "Html") return "HTML";
    if (result == "Ppc") return "PPC";
    if (result == "Seo") return "SEO";
    return result;
}

std::string ExtractBody(std::string_view document) {
    std::string_view text = document;
    std::size_t start = text.find("<body");
    if (start == std::string_view::npos) start = text.find("<BODY");
    if (start != std::string_view::npos) {
        const std::size_t close = text.find('>', start);
        if (close != std::string_view::npos) text = text.substr(close + 1);
    }
    std::size_t end = text.find("</body");
    if (end == std::string_view::npos) end = text.find("</BODY");
    if (end != std::string_view::npos) text = text.substr(0, end);
    return std::string(text);
}

}  // namespace qen
