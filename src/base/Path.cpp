#include "base/Path.h"

#include "text/TextEncoding.h"

namespace qen {

namespace {

std::size_t NameStart(const std::string& bytes) {
    const std::size_t slash = bytes.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

std::size_t ExtensionDot(const std::string& bytes) {
    const std::size_t dot = bytes.rfind('.');
    if (dot == std::string::npos || dot < NameStart(bytes)) return std::string::npos;
    return dot;
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

Path Path::operator/(std::string_view name) const {
    std::string joined = bytes_;
    if (!joined.empty() && joined.back() != '/') joined += '/';
    joined.append(name);
    return Path(std::move(joined));
}

Path Path::Folder() const { return Path(bytes_.substr(0, NameStart(bytes_))); }

std::string Path::Name() const { return bytes_.substr(NameStart(bytes_)); }

std::string Path::Extension() const {
    const std::size_t dot = ExtensionDot(bytes_);
    if (dot == std::string::npos) return {};
    std::string extension = bytes_.substr(dot);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

Path Path::WithExtension(std::string_view extension) const {
    const std::size_t dot = ExtensionDot(bytes_);
    std::string stem = dot == std::string::npos ? bytes_ : bytes_.substr(0, dot);
    stem.append(extension);
    return Path(std::move(stem));
}

Path Path::WithoutTrailingSlash() const {
    std::string bytes = bytes_;
    while (bytes.size() > 1 && bytes.back() == '/') bytes.pop_back();
    return Path(std::move(bytes));
}

std::string Path::Display() const { return PathToSystemText(bytes_); }

std::string Path::DisplayName() const { return PathToSystemText(Name()); }

std::string ViewUrlOf(std::string_view address) {
    if (address.empty() || address.front() != '/') return std::string(address);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(byte)) {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0x0F];
        }
    }
    return url;
}

std::string AddressOfViewUrl(std::string_view url) {
    if (!url.starts_with("file:")) return std::string(url);
    std::string_view rest = url.substr(5);
    if (rest.starts_with("//")) {
        // "file://localhost/x" and "file:///x" both name "/x"; a file on another host is
        // nothing of this program's and stays an address.
        const std::size_t slash = rest.find('/', 2);
        const std::string_view host = rest.substr(2, slash == std::string_view::npos ? slash : slash - 2);
        if (!host.empty() && host != "localhost") return std::string(url);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    }
    // A query or fragment is not part of the file's name.
    rest = rest.substr(0, rest.find_first_of("?#"));
    std::string path;
    path.reserve(rest.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size()) {
            const int high = HexValue(rest[i + 1]);
            const int low = HexValue(rest[i + 2]);
            const int byte = high * 16 + low;
            // "/" and NUL cannot stand in a file name: encoded, they stay part of the
            // name instead of starting a new path element or ending the path.
            if (high >= 0 && low >= 0 && byte != '/' && byte != 0) {
                path += static_cast<char>(byte);
                i += 2;
                continue;
            }
        }
        path += rest[i];
    }
    return path;
}

}  // namespace qen
