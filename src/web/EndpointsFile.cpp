#include "web/EndpointsFile.h"

#include "web/Endpoints.h"

namespace qen {

namespace {

constexpr std::size_t kLongestValue = 255;

bool IsKnownKey(std::string_view key) {
    for (int e = static_cast<int>(Endpoint::VideoFeedHost); e <= static_cast<int>(Endpoint::DownloadHost); ++e)
        if (key == EndpointInfoOf(static_cast<Endpoint>(e)).key) return true;
    return false;
}

// Hosts and addresses only: nothing that could leave an address or a page attribute.
bool IsSafeValue(std::string_view value) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte >= 0x7F || c == '"' || c == '\'' || c == '<' || c == '>' || c == '\\') return false;
    }
    return true;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

}  // namespace

EndpointsFile ParseEndpointsFile(std::string_view text) {
    EndpointsFile file;
    int number = 0;
    auto fail = [&](std::string reason) {
        file.values.clear();
        file.faultyLine = number;
        file.fault = std::move(reason);
        return file;
    };
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#') continue;

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return fail("a line must read Key=value");
        const std::string key(Trimmed(line.substr(0, equals)));
        const std::string_view value = Trimmed(line.substr(equals + 1));
        if (!IsKnownKey(key)) return fail("unknown key \"" + key + "\"");
        if (value.empty()) return fail(key + " has no value");
        if (value.size() > kLongestValue || !IsSafeValue(value))
            return fail(key + " must be a host or address without blanks or quotes");
        if (!file.values.emplace(key, value).second) return fail(key + " is named twice");
    }
    return file;
}

std::string EndpointsFault(const EndpointsFile& file) {
    return "endpoints.txt line " + std::to_string(file.faultyLine) + ": " + file.fault;
}

}  // namespace qen
