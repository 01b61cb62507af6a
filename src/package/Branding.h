#pragma once
// The branding lists of the package header: records of two lines each, records separated
// by an empty line. Shared by the runtime's reader and the packaging tool's writer.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qen {

using BrandingPair = std::pair<std::string, std::string>;  // line 1, line 2
constexpr std::size_t kMaxBrandingRecords = 30;

// The pairs of a list, or nullopt when it is not formatted correctly. At most 30 pairs
// are taken. The last record's second line is taken whole up to the end of the text.
std::optional<std::vector<BrandingPair>> ParseBrandingPairs(std::string_view text);

// "Branding error - <list name> data is not formatted correctly".
std::string BrandingErrorMessage(std::string_view listName);

// Puts "http://" before a non-empty text that does not start with "http" (any case);
// removes every quote character.
std::string CleanUrl(std::string_view text);

// The list text the runtime parses back into exactly `pairs`: "line1\r\nline2" records
// joined by "\r\n\r\n", with nothing after the last record.
std::string FormatBrandingList(const std::vector<BrandingPair>& pairs);

}  // namespace qen
