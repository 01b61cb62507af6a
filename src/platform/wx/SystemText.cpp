#include "platform/wx/SystemText.h"

#include <wx/strconv.h>

namespace qen {

namespace {

wxCSConv& Cp1252() {
    static wxCSConv conv(wxFONTENCODING_CP1252);
    return conv;
}

// One cp1252 byte as a Unicode character.
wxUniChar CharOf(unsigned char byte) {
    if (byte < 0x80) return wxUniChar(byte);
    char in[2] = {static_cast<char>(byte), 0};
    wxString one(in, Cp1252());
    return one.empty() ? wxUniChar(byte) : one[0];
}

}  // namespace

wxString ToWx(const std::string& systemText) {
    wxString out;
    out.reserve(systemText.size());
    for (unsigned char byte : systemText) out += CharOf(byte);
    return out;
}

wxString ToWxDecodingReferences(const std::string& systemText) {
    wxString out;
    for (std::size_t i = 0; i < systemText.size(); ++i) {
        if (systemText[i] == '&' && i + 2 < systemText.size() && systemText[i + 1] == '#') {
            std::size_t j = i + 2;
            unsigned long code = 0;
            while (j < systemText.size() && j - i < 10 && systemText[j] >= '0' && systemText[j] <= '9')
                code = code * 10 + static_cast<unsigned long>(systemText[j++] - '0');
            if (j > i + 2 && j < systemText.size() && systemText[j] == ';' && code > 0 && code <= 0x10FFFF &&
                !(code >= 0xD800 && code <= 0xDFFF)) {
                out += wxUniChar(static_cast<wxUint32>(code));
                i = j;
                continue;
            }
        }
        out += CharOf(static_cast<unsigned char>(systemText[i]));
    }
    return out;
}

std::string FromWx(const wxString& text) {
    std::string out;
    out.reserve(text.length());
    for (wxString::const_iterator it = text.begin(); it != text.end(); ++it) {
        wxUniChar ch = *it;
        wxUint32 code = ch.GetValue();
        if (code < 0x80) {
            out += static_cast<char>(code);
            continue;
        }
        wxString one(ch);
        wxCharBuffer bytes = one.mb_str(Cp1252());
        if (bytes.length() == 1 && code != 0xFFFD) {
            out += bytes.data()[0];
        } else {
            out += "&#" + std::to_string(code) + ";";
        }
    }
    return out;
}

}  // namespace qen
