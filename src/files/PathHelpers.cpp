#include "files/PathHelpers.h"

namespace qen {

namespace {

constexpr std::string_view kSeparators = "/\\";

// Where the file name starts: just after the last separator, or 0.
std::size_t FileNameStart(std::string_view path) {
    std::size_t last = path.find_last_of(kSeparators);
    return last == std::string_view::npos ? 0 : last + 1;
}

// The last dot of the file name; a dot inside a folder name is no extension.
std::size_t ExtensionDot(std::string_view path) {
    std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < FileNameStart(path)) return std::string_view::npos;
    return dot;
}

}  // namespace

std::string DirectoryOf(std::string_view path) {
    return std::string(path.substr(0, FileNameStart(path)));
}

std::string FileNameOf(std::string_view path) {
    return std::string(path.substr(FileNameStart(path)));
}

std::string ExtensionOf(std::string_view path) {
    std::size_t dot = ExtensionDot(path);
    if (dot == std::string_view::npos) return {};
    std::string extension(path.substr(dot));
    // ASCII only: cp1252 letters above 0x7F must not depend on the C locale.
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

std::string WithoutExtension(std::string_view path) {
    std::size_t dot = ExtensionDot(path);
    if (dot == std::string_view::npos) return {};
    return std::string(path.substr(0, dot));
}

std::string WithoutQuery(std::string_view url) {
    return std::string(url.substr(0, url.rfind('?')));
}

std::string QueryValue(std::string_view url, std::string_view key) {
    const std::string pattern = std::string(key) + "=";
    std::string value;
    std::string_view text = url;
    // Each round takes one occurrence; the rest after its "&" is searched again like a url.
    for (;;) {
        std::size_t question = text.rfind('?');
        std::string_view query = question == std::string_view::npos ? text : text.substr(question + 1);
        std::size_t match = query.find(pattern);
        if (match == std::string_view::npos) break;
        std::string_view after = query.substr(match + pattern.size());
        std::size_t amp = after.find('&');
        if (amp == std::string_view::npos) {
            value += after;
            break;
        }
        value += after.substr(0, amp);
        text = after.substr(amp + 1);
    }
    return value;
}

}  // namespace qen
