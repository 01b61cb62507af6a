#include "platform/wx/SystemText.h"

#include "text/TextEncoding.h"

namespace qen {

namespace {

std::string Utf8Of(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

}  // namespace

wxString ToWx(const std::string& systemText) {
    return wxString::FromUTF8(SystemTextToUtf8(systemText, References::Keep));
}

wxString ToWxDecodingReferences(const std::string& systemText) {
    return wxString::FromUTF8(SystemTextToUtf8(systemText, References::Decode));
}

std::string FromWx(const wxString& text) { return Utf8ToSystemText(Utf8Of(text), Ampersands::Keep); }

std::string FromWxTyped(const wxString& text) { return Utf8ToSystemText(Utf8Of(text), Ampersands::Encode); }

wxString PathToWx(const std::string& path) {
    wxString converted = wxString::FromUTF8(path);
    // A name that is not valid UTF-8 still has to reach the file calls whole.
    if (converted.empty() && !path.empty()) converted = wxString(path.c_str(), wxConvFileName ? *wxConvFileName : wxConvUTF8);
    return converted;
}

std::string PathFromWx(const wxString& path) { return Utf8Of(path); }

}  // namespace qen
