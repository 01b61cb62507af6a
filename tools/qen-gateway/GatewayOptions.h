#pragma once
// What the command line sets, and reading it.
#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "base/Path.h"

namespace qen::gateway {

struct GatewayOptions {
    std::string source;  // "youtube" or "invidious"
    Path keyFile;
    std::string apiBase = "https://www.googleapis.com/youtube/v3";
    std::string instance;  // the Invidious instance's address
    std::string listen = "127.0.0.1";
    int port = 8766;  // 0: any free port
    Path cacheDir;
    std::int64_t cacheHours = 24;
    std::int64_t dailyUnits = 10'000;
    // Not on the command line: tests shorten it.
    std::chrono::milliseconds upstreamTimeout{10'000};
};

struct UsageProblem {
    std::string reason;
};

// Help and version are answered by the caller before this is asked.
std::variant<GatewayOptions, UsageProblem> ParseGatewayCommandLine(const std::vector<std::string>& args);

std::string GatewayHelpText();

// The whole program: help, version, one-line usage errors (exit 2), then the server
// until it is stopped.
int GatewayMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qen::gateway
