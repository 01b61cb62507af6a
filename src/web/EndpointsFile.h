#pragma once
// "endpoints.txt" of a site folder: lines "Key=value" with the keys of the settings group
// "Endpoints" (VideoFeedHost=videos.example.com:8080), blank lines and "#" comments. A
// package names its own hosts with it; the user's settings and the environment still win.
#include <map>
#include <string>
#include <string_view>

namespace qen {

struct EndpointsFile {
    std::map<std::string, std::string> values;  // by settings key
    int faultyLine = 0;                          // 1-based; 0 when the file is sound
    std::string fault;                           // what is wrong with that line
};

EndpointsFile ParseEndpointsFile(std::string_view text);

// "endpoints.txt line N: <fault>".
std::string EndpointsFault(const EndpointsFile& file);

}  // namespace qen
