#pragma once
// Every conversion between the system's text and other encodings. System text is cp1252
// bytes; a character that has no byte of its own is carried as a "&#N;" reference.
#include <cstdint>
#include <string>
#include <string_view>

namespace qen {

// --- Downloaded and byte-order-marked text ------------------------------------------------

// UTF-8 (decided from the XML declaration) is converted, anything else copied as it is.
// Either way the text ends at its first zero byte.
std::string DecodeDownloadedText(std::string_view data);

// Code points below 255 become single bytes, the rest "&#N;". Malformed input never
// stops the conversion; a zero character ends the text.
std::string Utf8ToAnsiWithReferences(std::string_view data);

// 16-bit little-endian code units (an odd last byte is no unit): units 1 to 255 become
// single bytes, a surrogate pair one reference for its character, any other unit its own
// reference; units of 0 are skipped.
std::string Utf16LeToAnsiWithReferences(std::string_view units);

// Converts a whole file image by its byte-order mark (UTF-16 BE/LE, UTF-8);
// an image without a mark comes back unchanged (zero bytes and all).
std::string ConvertMarkedText(std::string image);

// --- The toolkit boundary (Unicode as UTF-8) ---------------------------------------------

enum class References { Keep, Decode };

// System text as UTF-8 for the toolkit. Decode turns "&#N;" references back into their
// characters, for text a user edits or reads in a message; Keep shows them as written.
std::string SystemTextToUtf8(std::string_view systemText, References references);

enum class Ampersands { Keep, Encode };

// UTF-8 from the toolkit as system text; a character outside cp1252 becomes its reference.
// Encode writes every "&" as "&#38;", for text a user typed: then each "&" of the stored
// text starts a reference the program wrote, and the text comes back exactly as typed
// whatever it holds (a typed "&#60;" stays those five characters).
std::string Utf8ToSystemText(std::string_view utf8, Ampersands ampersands);

// A file system path, which is the system's own bytes (UTF-8 here), as system text for a
// message: the conversion downloaded text goes through.
std::string PathToSystemText(std::string_view path);

// --- Building blocks ----------------------------------------------------------------------

void AppendReference(std::string& out, std::uint32_t codePoint);  // "&#N;"
void AppendUtf8(std::string& out, std::uint32_t codePoint);
// Length of the decimal reference "&#N;" at the start of `text` (N at most 7 digits), or 0.
std::size_t CharacterReferenceLength(std::string_view text);

}  // namespace qen
