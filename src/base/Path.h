#pragma once
// A file system path: the operating system's own bytes (UTF-8 here), never system text.
// It reaches a message only through Display(), and the view only as a file URL, so a
// folder named "Jürgen" is found, opened and shown as it is.
#include <compare>
#include <string>
#include <string_view>

namespace qen {

class Path {
public:
    Path() = default;
    explicit Path(std::string bytes) : bytes_(std::move(bytes)) {}

    const std::string& Bytes() const { return bytes_; }
    const char* CStr() const { return bytes_.c_str(); }
    bool Empty() const { return bytes_.empty(); }

    // `name` (a file name or a relative path) joined on with one "/" between.
    Path operator/(std::string_view name) const;
    // Up to and including the last "/"; empty for a bare name.
    Path Folder() const;
    // After the last "/".
    std::string Name() const;
    // From the last dot of the name, dot included, A-Z lower-cased; empty without one.
    std::string Extension() const;
    // The extension replaced, or appended to a name without one.
    Path WithExtension(std::string_view extension) const;
    // The same path without a trailing "/".
    Path WithoutTrailingSlash() const;

    // System text for a message.
    std::string Display() const;
    std::string DisplayName() const;

    friend bool operator==(const Path&, const Path&) = default;
    friend std::strong_ordering operator<=>(const Path&, const Path&) = default;

private:
    std::string bytes_;
};

// An address as the view takes it: a local path becomes a "file://" URL with every byte
// outside the unreserved set percent-encoded; a web address passes unchanged.
std::string ViewUrlOf(std::string_view address);
// The address of a URL the view reports: a "file:" URL of this computer becomes the local
// path, decoded byte for byte but for an encoded "/" or NUL, which stay as written;
// anything else passes unchanged.
std::string AddressOfViewUrl(std::string_view url);

}  // namespace qen
