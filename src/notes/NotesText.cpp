#include "notes/NotesText.h"

#include <climits>

#include "text/TextEncoding.h"

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


std::string CountSentence(std::size_t n, std::string_view none, std::string_view one, std::string_view plural) {
    if (n == 0) return std::string(none);
    if (n == 1) return std::string(one);
    return "You have " + std::to_string(n) + " " + std::string(plural);
}

}  // namespace qen
