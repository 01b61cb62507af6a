#pragma once
// Small text operations: replacing, trimming, letter case and the body of a document.
#include <span>
#include <string>
#include <string_view>

namespace qen {

// Replaces every occurrence, left to right; inserted text is not searched again.
std::string ReplaceAll(std::string text, std::string_view token, std::string_view value);

// One token of a template ("%%name%%") and the text it stands for.
struct TokenValue {
    std::string_view token;
    std::string_view value;
};
// Every token of `templateText` replaced by its value in one pass over the template: a
// value is inserted as it is and never searched, so a token that comes inside a value
// (text from a feed) stays text.
std::string FillTokens(std::string_view templateText, std::span<const TokenValue> values);

std::string TrimWhitespace(std::string_view text);
std::string ToLowerAscii(std::string_view text);

// Letters, digits, "-" and "_": what an id from outside may hold, since it goes into page
// addresses, file names and script calls.
bool IsIdCharacter(char c);
// Windows-1252 letter case: ASCII and the Latin-1 range, where small and capital letters lie
// 0x20 apart (0xD7 and 0xF7 are signs). Other bytes stay as they are.
char ToLowerLetterCp1252(char c);
char ToUpperLetterCp1252(char c);
std::string ToLowerCp1252(std::string_view text);

// Word-initial capitals; space, "_", "+" and "-" become spaces and start a word.
// A whole result of "Html", "Ppc" or "Seo" is written in capitals.
std::string TitleCase(std::string_view text);

// The content of the document's body element (tags spelled "<body" or "<BODY").
std::string ExtractBody(std::string_view document);

}  // namespace qen
