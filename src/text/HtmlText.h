#pragma once
// Text from outside (feeds, article pages) placed into the program's own pages.
#include <cstddef>
#include <string>
#include <string_view>

namespace qen {

// Markup characters become character references, so a title from a feed shows as text and
// cannot close the attribute or element it stands in: "<" "&lt;", ">" "&gt;", '"' "&quot;",
// "'" "&#39;" (pages quote attributes either way).
// Everything else stays, "&" included, so references the feed already carries ("&amp;",
// "&#233;") still show their character.
std::string EscapeMarkupKeepingReferences(std::string_view text);

// A title from a feed is kept to this many bytes: enough for any real title, and a feed
// of huge titles cannot fill the user data file and the pages.
inline constexpr std::size_t kMaxTitleBytes = 500;

// At most `limit` bytes of `title`, cut before a character reference ("&#233;", "&amp;")
// that would not fit whole. System text has one byte a character, so no letter is split.
std::string CutTitle(std::string_view title, std::size_t limit = kMaxTitleBytes);

}  // namespace qen
