#pragma once
// Link markup that comes with an article's text: "[address]link text" up to the line end.
#include <string>
#include <string_view>

namespace qen {

// Repeatedly takes the first "[" of the text and the first "]" after it, with T the text
// between them:
// - T begins with "http://" or "https://" and the rest of the line after "]" (L) has at
//   most 100 characters and no "<" or ">": "[T]L" becomes <a href="T">L</a>;
// - otherwise "[T]" is removed and L stays as it is.
// Each pass removes one "[", so the passes end; the text they leave is the result.
// Runs in O(n log n): passes do not search the text from its start again.
std::string LinkBracketedAddresses(std::string text);

}  // namespace qen
