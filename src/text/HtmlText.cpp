#include "text/HtmlText.h"

namespace qen {

std::string EscapeMarkupKeepingReferences(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string CutTitle(std::string_view title, std::size_t limit) {
    if (title.size() <= limit) return std::string(title);
    // Longer than any reference the conversions write ("&#1114111;") or HTML names.
    constexpr std::size_t kLongestReference = 32;
    std::string_view kept = title.substr(0, limit);
    const std::size_t amp = kept.rfind('&');
    if (amp != std::string_view::npos && kept.size() - amp < kLongestReference &&
        kept.find(';', amp) == std::string_view::npos)
        kept = kept.substr(0, amp);
    return std::string(kept);
}

}  // namespace qen
