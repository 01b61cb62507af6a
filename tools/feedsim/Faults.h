#pragma once
// The ways the simulator can misbehave, chosen for a whole run (--fault), for one request
// by a path prefix ("/fault/<mode>/" before the usual path), or for a keyword search by
// its term ("fault-<mode>").
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qen::feedsim {

enum class Fault {
    None,
    Quota,      // the video service's "too many recent calls" answer
    HtmlError,  // 503 with an HTML page, no feed document
    NotFound,   // 404 with "Not Found"
    Empty,      // 200 with an empty body
    Huge,       // 200 with a 5,000,000-byte feed document
    Drip,       // the usual answer, in small pieces with pauses between
    Hang,       // never answers
    Reset,      // the connection is reset before any answer
    Truncate,   // the usual answer breaks off halfway
};

struct FaultInfo {
    Fault fault;
    std::string_view name;
    std::string_view description;
};

const std::vector<FaultInfo>& AllFaults();
std::optional<Fault> FaultNamed(std::string_view name);
std::string_view NameOf(Fault fault);

inline constexpr std::size_t kHugeBodySize = 5'000'000;

// Bodies of the faults that replace the answer.
std::string QuotaBody();
std::string HtmlErrorPage();
std::string NotFoundPage(std::string_view path);
std::string HugeFeed();

}  // namespace qen::feedsim
