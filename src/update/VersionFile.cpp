#include "update/VersionFile.h"

#include <limits>

// Set by the build from the CMake option of the same name.
#ifndef QEN_RUNNING_VERSION
#define QEN_RUNNING_VERSION 1
#endif

namespace qen {

namespace {

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string_view TrimEnd(std::string_view text) {
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    return first == std::string_view::npos ? std::string_view() : TrimEnd(text.substr(first));
}

// "\r\n" is preferred wherever it stands, then "\r", then "\n".
std::size_t FirstLineBreak(std::string_view text) {
    for (std::string_view lineBreak : {"\r\n", "\r", "\n"}) {
        const std::size_t at = text.find(lineBreak);
        if (at != std::string_view::npos) return at;
    }
    return std::string_view::npos;
}

}  // namespace

VersionNumber RunningVersion() { return QEN_RUNNING_VERSION; }

std::string VersionLine(std::string_view programName) {
    return std::string(programName) + " " + std::to_string(RunningVersion()) + "\n";
}

VersionNumber ParseLeadingNumber(std::string_view text) {
    constexpr VersionNumber kLargest = std::numeric_limits<VersionNumber>::max();
    VersionNumber value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        const int digit = c - '0';
        if (value > (kLargest - digit) / 10) return kLargest;
        value = value * 10 + digit;
    }
    return value;
}

bool IsNotFoundPage(std::string_view data) {
    const std::string_view text = data.substr(0, data.find('\0'));
    return text.find("404") != std::string_view::npos && text.find("Not Found") != std::string_view::npos;
}

std::optional<VersionNumber> ParseVersionFile(std::string_view text) {
    const std::string_view trimmed = Trim(text);
    const std::size_t lineBreak = FirstLineBreak(trimmed);
    if (lineBreak == std::string_view::npos) return std::nullopt;
    return ParseLeadingNumber(TrimEnd(trimmed.substr(0, lineBreak)));
}

}  // namespace qen
