#pragma once
// The system's text is cp1252 bytes; the toolkit's is Unicode. Convert only here.
#include <string>

#include <wx/string.h>

namespace qen {

// cp1252 bytes as they are ("&#8364;" stays seven characters): for captions and messages.
wxString ToWx(const std::string& systemText);
// cp1252 bytes with "&#N;" references turned into their characters: for edit boxes,
// so a user edits what the page shows.
wxString ToWxDecodingReferences(const std::string& systemText);
// Unicode to cp1252; a character outside cp1252 becomes its "&#N;" reference.
std::string FromWx(const wxString& text);

}  // namespace qen
