#include "notes/NotesText.h"

#include <climits>

namespace qen {

namespace {

std::string EscapeMarkup(std::string_view text, std::string_view lineBreak) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '&':
                if (std::size_t length = CharacterReferenceLength(text.substr(i))) {
                    out.append(text.substr(i, length));
                    i += length - 1;
                } else {
                    out += "&amp;";
                }
                break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
                out.append(lineBreak);
                break;
            case '\n': out.append(lineBreak); break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

int ParseEntryNumber(std::string_view text) {
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        if (value < INT_MAX) value = value * 10 + (c - '0');
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

const std::string& SeparatorLine() {
    static const std::string line = std::string(94, '=') + "<br><br>\r\n";
    return line;
}

std::string EscapeNoteText(std::string_view text) { return EscapeMarkup(text, "<br>"); }

std::string EscapeDiaryText(std::string_view text) { return EscapeMarkup(text, ""); }

std::size_t CharacterReferenceLength(std::string_view text) {
    constexpr std::size_t kMaxDigits = 7;  // the largest code point, 1114111, has seven
    if (text.size() < 4 || text[0] != '&' || text[1] != '#') return 0;
    std::size_t i = 2;
    while (i < text.size() && i - 2 < kMaxDigits && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == 2 || i >= text.size() || text[i] != ';') return 0;
    return i + 1;
}

std::string CountSentence(std::size_t n, std::string_view none, std::string_view one, std::string_view plural) {
    if (n == 0) return std::string(none);
    if (n == 1) return std::string(one);
    return "You have " + std::to_string(n) + " " + std::string(plural);
}

}  // namespace qen
