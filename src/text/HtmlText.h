#pragma once
// Text from outside (feeds, article pages) placed into the program's own pages.
#include <string>
#include <string_view>

namespace qen {

// Markup characters become character references, so a title from a feed shows as text and
// cannot close the attribute or element it stands in: "<" "&lt;", ">" "&gt;", '"' "&quot;".
// Everything else stays, "&" included, so references the feed already carries ("&amp;",
// "&#233;") still show their character.
std::string EscapeMarkupKeepingReferences(std::string_view text);

}  // namespace qen
