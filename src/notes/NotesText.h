#pragma once
// Text pieces shared by the notepad and the diary pages.
#include <string>
#include <string_view>

namespace qen {

// The link argument that asks for a new note or diary entry rather than a numbered one.
inline constexpr const char* kNewEntry = "new";

// 0 for the empty text, -1 when any character is not a decimal digit, otherwise the
// value (held at the largest int, which no list reaches, when the digits run past it).
int ParseEntryNumber(std::string_view text);

// 94 equals signs and two line breaks.
const std::string& SeparatorLine();

// The count sentence of a page: `none` for 0, `one` for 1, otherwise
// "You have " + n + " " + `plural`.
std::string CountSentence(std::size_t n, std::string_view none, std::string_view one, std::string_view plural);

// "&", "<" and ">" as entities, every line break ("\r\n", "\r" or "\n") as <br>.
std::string EscapeNoteText(std::string_view text);
// "&", "<" and ">" as entities, line breaks dropped: a diary entry and a note title are one line.
std::string EscapeDiaryText(std::string_view text);


}  // namespace qen
