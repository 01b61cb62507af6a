#include "feedsim/CommandLine.h"

#include <cctype>
#include <filesystem>

namespace qen::feedsim {

namespace {

std::optional<int> Number(const std::string& text, int largest) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > largest) return std::nullopt;
    return value;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--version") {
            result.version = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            result.help = true;
            continue;
        }
        if (arg != "--port" && arg != "--files" && arg != "--fault" && arg != "--drip-ms") {
            result.error = "unknown argument: " + arg;
            return result;
        }
        if (i + 1 >= args.size()) {
            result.error = arg + " needs a value";
            return result;
        }
        const std::string& value = args[++i];
        if (arg == "--port") {
            std::optional<int> port = Number(value, 65535);
            if (!port) result.error = "--port takes a number from 0 to 65535";
            else result.options.port = *port;
        } else if (arg == "--files") {
            std::error_code error;
            if (!std::filesystem::is_directory(value, error)) result.error = "--files: no such folder: " + value;
            else result.options.filesFolder = Path(value);
        } else if (arg == "--fault") {
            std::optional<Fault> fault = FaultNamed(value);
            if (!fault) result.error = "--fault: unknown mode " + value + " (see --help)";
            else result.options.fault = *fault;
        } else {
            std::optional<int> pause = Number(value, 60'000);
            if (!pause) result.error = "--drip-ms takes a number of milliseconds up to 60000";
            else result.options.dripPause = std::chrono::milliseconds(*pause);
        }
        if (!result.error.empty()) return result;
    }
    return result;
}

std::string HelpText() {
    std::string text =
        "feedsim: a loopback stand-in for the video service, the article directory and the update server.\n"
        "\n"
        "usage: feedsim [--port N] [--files DIR] [--fault MODE] [--drip-ms N]\n"
        "       feedsim --help | --version\n"
        "\n"
        "  --port N      port on 127.0.0.1 (default 8765; 0 picks a free one). The address,\n"
        "                http://127.0.0.1:PORT, is the first line printed.\n"
        "  --files DIR   serve the files under DIR by their path (the update server's\n"
        "                /qenruntime/version.txt, program files, ...)\n"
        "  --fault MODE  every request gets this fault\n"
        "  --drip-ms N   pause between the pieces of a dripping answer (default 200)\n"
        "\n"
        "Answers:\n"
        "  /feeds/api/videos?q=TERM&start-index=I&max-results=M&v=2&format=5[&orderby=viewCount|published]\n"
        "      keyword feed; 1000 results per term, or the number that ends the term (puppies-120)\n"
        "  /feeds/api/videos/ID/related     related videos (ids starting with none- have none)\n"
        "  /vi/ID/0.jpg                     thumbnail (a PNG)\n"
        "  /category/CATEGORY.xml           article category feed (RSS, 150 items)\n"
        "  /ezinepublisher/?id=ID           publisher page with the article in a textarea\n"
        "  anything else                    a file of --files, or 404 Not Found\n"
        "\n"
        "Fault modes (--fault MODE for the run, /fault/MODE/PATH for one request, or the\n"
        "keyword term fault-MODE):\n";
    for (const FaultInfo& info : AllFaults()) {
        std::string name(info.name);
        name.resize(12, ' ');
        text += "  " + name + std::string(info.description) + "\n";
    }
    return text;
}

}  // namespace qen::feedsim
