#pragma once
// Conversions of downloaded and byte-order-marked text to the system's cp1252 text,
// with characters that do not fit carried as "&#N;" references.
#include <optional>
#include <string>
#include <string_view>

namespace qen {

// UTF-8 (decided from the XML declaration) is converted, anything else copied as it is.
// Either way the text ends at its first zero byte.
std::string DecodeDownloadedText(std::string_view data);

// Code points below 255 become single bytes, the rest "&#N;". Malformed input never
// stops the conversion; a zero character ends the text.
std::string Utf8ToAnsiWithReferences(std::string_view data);

// Converts a whole file image by its byte-order mark (UTF-16 BE/LE, UTF-8);
// an image without a mark comes back unchanged (zero bytes and all).
std::string ConvertMarkedText(std::string image);

}  // namespace qen
