#pragma once
// The update server's version file: its first line names the newest version.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qen {

using VersionNumber = std::int64_t;

// The version this program is (CMake option QEN_RUNNING_VERSION, 1 unless a release
// build says otherwise). Every higher number counts as newer, so a build of version N is
// not offered version N again.
VersionNumber RunningVersion();

// What every program of the project answers to "--version": its name and the running
// version, on one line ending in a line break.
std::string VersionLine(std::string_view programName);

// The number formed by the leading digits 0 to 9; 0 when the text does not start with
// one. A number too long to hold stops at the largest value rather than wrapping.
VersionNumber ParseLeadingNumber(std::string_view text);

// A server's not-found page: the text before the first zero byte holds both "404" and
// "Not Found".
bool IsNotFoundPage(std::string_view data);

// The version the file offers, or nullopt when the text, trimmed at both ends, has no
// line break: the first line must be followed by one.
std::optional<VersionNumber> ParseVersionFile(std::string_view text);

}  // namespace qen
