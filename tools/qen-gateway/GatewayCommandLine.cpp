#include <algorithm>
#include <cstdlib>
#include <optional>

#include "qen-gateway/GatewayOptions.h"

namespace qen::gateway {

namespace {

std::optional<std::int64_t> Number(const std::string& text, std::int64_t largest) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > largest) return std::nullopt;
    return value;
}

bool IsWebAddress(const std::string& text) {
    return (text.starts_with("http://") && text.size() > 7) || (text.starts_with("https://") && text.size() > 8);
}

std::string WithoutTrailingSlashes(std::string text) {
    while (text.ends_with('/')) text.pop_back();
    return text;
}

Path DefaultCacheDir() {
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') return Path(xdg) / "qen-gateway";
    if (const char* home = std::getenv("HOME"); home && *home) return Path(home) / ".cache/qen-gateway";
    return Path(".cache/qen-gateway");
}

}  // namespace

std::variant<GatewayOptions, UsageProblem> ParseGatewayCommandLine(const std::vector<std::string>& args) {
    GatewayOptions options;
    bool apiBaseGiven = false, unitsGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        static const char* const kNames[] = {"--source",    "--key-file",    "--api-base",    "--instance", "--listen",
                                             "--port",      "--cache-dir",   "--cache-hours", "--daily-units"};
        if (std::find(std::begin(kNames), std::end(kNames), name) == std::end(kNames))
            return UsageProblem{"unknown argument " + name + " (see --help)"};
        if (i + 1 >= args.size()) return UsageProblem{name + " needs a value (see --help)"};
        const std::string& value = args[++i];
        if (name == "--source") {
            if (value != "youtube" && value != "invidious")
                return UsageProblem{"--source is youtube or invidious, not " + value};
            options.source = value;
        } else if (name == "--key-file") {
            options.keyFile = Path(value);
        } else if (name == "--api-base") {
            if (!IsWebAddress(value)) return UsageProblem{"--api-base takes an http:// or https:// address"};
            options.apiBase = WithoutTrailingSlashes(value);
            apiBaseGiven = true;
        } else if (name == "--instance") {
            if (!IsWebAddress(value)) return UsageProblem{"--instance takes an http:// or https:// address"};
            options.instance = WithoutTrailingSlashes(value);
        } else if (name == "--listen") {
            if (value.empty()) return UsageProblem{"--listen takes an address"};
            options.listen = value;
        } else if (name == "--port") {
            const auto port = Number(value, 65535);
            if (!port) return UsageProblem{"--port takes a number from 0 to 65535"};
            options.port = static_cast<int>(*port);
        } else if (name == "--cache-dir") {
            if (value.empty()) return UsageProblem{"--cache-dir takes a folder"};
            options.cacheDir = Path(value);
        } else if (name == "--cache-hours") {
            const auto hours = Number(value, 24 * 366);
            if (!hours || *hours == 0) return UsageProblem{"--cache-hours takes a number of hours from 1 to 8784"};
            options.cacheHours = *hours;
        } else {
            const auto units = Number(value, 1'000'000'000);
            if (!units) return UsageProblem{"--daily-units takes a number of units"};
            options.dailyUnits = *units;
            unitsGiven = true;
        }
    }
    if (options.source.empty()) return UsageProblem{"--source youtube or --source invidious is needed (see --help)"};
    if (options.source == "youtube") {
        if (options.keyFile.Empty()) return UsageProblem{"--source youtube needs --key-file FILE"};
        if (!options.instance.empty()) return UsageProblem{"--instance belongs to --source invidious"};
    } else {
        if (options.instance.empty()) return UsageProblem{"--source invidious needs --instance URL"};
        if (!options.keyFile.Empty() || apiBaseGiven || unitsGiven)
            return UsageProblem{"--key-file, --api-base and --daily-units belong to --source youtube"};
    }
    if (options.cacheDir.Empty()) options.cacheDir = DefaultCacheDir();
    return options;
}

std::string GatewayHelpText() {
    return "qen-gateway: answers the runtime's video feed forms from a video service of today.\n"
           "\n"
           "usage: qen-gateway --source youtube --key-file FILE [--api-base URL] [options]\n"
           "       qen-gateway --source invidious --instance URL [options]\n"
           "\n"
           "  --source youtube     answers from the YouTube Data API v3\n"
           "  --key-file FILE      the file holding the YouTube API key (youtube only)\n"
           "  --api-base URL       where the YouTube API is asked (default\n"
           "                       https://www.googleapis.com/youtube/v3; youtube only)\n"
           "  --source invidious   answers from an Invidious instance's /api/v1\n"
           "  --instance URL       the instance's http:// or https:// address (invidious only)\n"
           "  --listen ADDR        address to listen on (default 127.0.0.1)\n"
           "  --port N             port (default 8766; 0 picks a free one); the first line\n"
           "                       printed is http://ADDR:PORT\n"
           "  --cache-dir DIR      where answers are kept on disk (default\n"
           "                       $XDG_CACHE_HOME/qen-gateway, else ~/.cache/qen-gateway)\n"
           "  --cache-hours H      how long answers are kept (default 24)\n"
           "  --daily-units N      YouTube units to spend a day (default 10000; a search\n"
           "                       costs 100, a video's title 1)\n"
           "  --help, --version    this text, or the version\n"
           "\n"
           "Answers:\n"
           "  /feeds/api/videos?q=TERM&start-index=S&max-results=50&v=2&format=5[&orderby=viewCount|published]\n"
           "  /feeds/api/videos/ID/related\n"
           "  /status   JSON: upstream calls and units today, cache hits and misses, budget left\n";
}

}  // namespace qen::gateway
