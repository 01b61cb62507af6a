#pragma once
// The toolkit's strings meet the program's here only: system text (cp1252 with references)
// and paths (the system's own bytes) each have their own conversion.
#include <string>

#include <wx/string.h>

namespace qen {

// System text as it is ("&#8364;" stays seven characters): captions and labels.
wxString ToWx(const std::string& systemText);
// System text with its "&#N;" references shown as their characters: edit boxes and messages,
// so a user reads and edits what the page shows.
wxString ToWxDecodingReferences(const std::string& systemText);
// Toolkit text as system text; a character outside cp1252 becomes its reference.
std::string FromWx(const wxString& text);
// What a user typed, as system text that comes back exactly as typed (see Ampersands::Encode).
std::string FromWxTyped(const wxString& text);

// Paths never pass through cp1252: they are UTF-8 bytes on both sides.
wxString PathToWx(const std::string& path);
std::string PathFromWx(const wxString& path);

}  // namespace qen
