#include "articles/ArticleLinks.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/LinkNames.h"
#include "files/PathHelpers.h"
#include "text/TextOps.h"

namespace qen {

namespace {

bool IsHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
}

bool AllOf(std::string_view text, bool (*test)(char)) { return std::all_of(text.begin(), text.end(), test); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f'); }

std::vector<std::string_view> Labels(std::string_view host) {
    std::vector<std::string_view> labels;
    for (std::size_t from = 0;;) {
        const std::size_t dot = host.find('.', from);
        labels.push_back(host.substr(from, dot == std::string_view::npos ? dot : dot - from));
        if (dot == std::string_view::npos) return labels;
        from = dot + 1;
    }
}

// One part of a numeric host: "0x" hexadecimal, a leading "0" octal, else decimal.
std::optional<std::uint64_t> NumberPart(std::string_view part) {
    unsigned base = 10;
    if (part.starts_with("0x")) {
        base = 16;
        part.remove_prefix(2);
    } else if (part.size() > 1 && part.front() == '0') {
        base = 8;
        part.remove_prefix(1);
    }
    if (part.empty() && base != 16) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : part) {
        const unsigned digit = IsDigit(c) ? static_cast<unsigned>(c - '0') : static_cast<unsigned>(c - 'a' + 10);
        if (!IsHexDigit(c) || digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    return value;
}

// A host whose last label is a number is an IPv4 address however it is written
// ("127.1", "0x7f.0.0.1", "2130706433"): the browser goes to the address, so it is compared
// as one. nullopt when it is not a valid one: the browser would go nowhere.
std::optional<std::string> NumericHost(const std::vector<std::string_view>& labels) {
    if (labels.size() > 4) return std::nullopt;
    std::uint64_t address = 0;
    for (std::size_t k = 0; k < labels.size(); ++k) {
        const std::optional<std::uint64_t> part = NumberPart(labels[k]);
        if (!part) return std::nullopt;
        const bool last = k + 1 == labels.size();
        const unsigned bits = last ? static_cast<unsigned>(8 * (5 - labels.size())) : 8;
        if (*part >= (1ull << bits)) return std::nullopt;
        address = last ? (address << bits) | *part : (address << 8) | *part;
    }
    std::string dotted;
    for (int shift = 24; shift >= 0; shift -= 8)
        dotted.append(std::to_string((address >> shift) & 0xFF)).append(shift > 0 ? "." : "");
    return dotted;
}

std::optional<std::string> CanonicalHost(std::string host) {
    if (host.ends_with('.')) host.pop_back();
    if (host.empty() || !AllOf(host, IsHostCharacter)) return std::nullopt;
    const std::vector<std::string_view> labels = Labels(host);
    const std::string_view last = labels.back();
    const bool endsInNumber =
        (!last.empty() && AllOf(last, IsDigit)) || (last.starts_with("0x") && AllOf(last.substr(2), IsHexDigit));
    if (endsInNumber) return NumericHost(labels);
    return host;
}

}  // namespace

std::optional<WebOrigin> PlainWebOrigin(std::string_view address) {
    for (char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '\\') return std::nullopt;
    }
    const std::string start = ToLowerAscii(address.substr(0, 8));
    unsigned port = 0;
    if (start.starts_with("http://")) {
        address.remove_prefix(7);
        port = 80;
    } else if (start.starts_with("https://")) {
        address.remove_prefix(8);
        port = 443;
    } else {
        return std::nullopt;
    }
    std::string authority = ToLowerAscii(address.substr(0, address.find_first_of("/?#")));
    if (const std::size_t colon = authority.find(':'); colon != std::string::npos) {
        const std::string_view digits = std::string_view(authority).substr(colon + 1);
        if (digits.size() > 5 || !AllOf(digits, IsDigit)) return std::nullopt;
        if (!digits.empty()) port = static_cast<unsigned>(std::stoul(std::string(digits)));
        if (port > 65535) return std::nullopt;
        authority.resize(colon);
    }
    std::optional<std::string> host = CanonicalHost(std::move(authority));
    if (!host) return std::nullopt;
    return WebOrigin{std::move(*host), port};
}

ArticleLinkRule::ArticleLinkRule(std::string_view articleId, std::string_view launchAddress)
    : ownLinks_{CommandLink(link::kSaveArticle, articleId), CommandLink(link::kUnsaveArticle, articleId),
                link::kGoBack},
      launchAddress_(ToLowerAscii(launchAddress)),
      launch_(PlainWebOrigin(launchAddress)) {}

bool ArticleLinkRule::Allows(std::string_view href) const {
    if (std::find(ownLinks_.begin(), ownLinks_.end(), href) != ownLinks_.end()) return true;
    const std::optional<WebOrigin> origin = PlainWebOrigin(href);
    if (!origin) return false;
    if (launch_ ? *origin == *launch_ : !launchAddress_.empty() && ToLowerAscii(href).starts_with(launchAddress_))
        return false;
    const std::string_view path = href.substr(0, href.find_first_of("?#"));
    return !NamesLinkCommand(FileNameOf(path)) && !NamesLinkCommand(FileNameOf(href));
}

}  // namespace qen
