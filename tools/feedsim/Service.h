#pragma once
// Everything the simulator answers, apart from the network: a request (path, query and
// the host the client named) goes in, an answer comes out.
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Path.h"
#include "feedsim/ArticleDirectory.h"
#include "feedsim/Faults.h"
#include "feedsim/VideoFeeds.h"

namespace qen::feedsim {

struct Request {
    std::string path;  // decoded, without the query
    Params params;
    std::string host;  // "127.0.0.1:8765"
    std::vector<std::pair<std::string, std::string>> headers;
};

struct Answer {
    Answer() = default;
    Answer(int status_, std::string contentType_, std::string body_)
        : status(status_), contentType(std::move(contentType_)), body(std::move(body_)) {}

    int status = 200;
    std::string contentType;
    std::string body;
    std::string location;  // of a redirect
};

class Service {
public:
    // Files of the update server are served from `filesFolder` (none when empty).
    explicit Service(const Path& filesFolder = {});

    Answer Respond(const Request& request);

    // The fault this request asks for itself (a "/fault/<mode>/" prefix, which is taken
    // off the path, or a keyword term "fault-<mode>"), else the run's. nullopt for a
    // mode name it does not know.
    static std::optional<Fault> ChooseFault(Request& request, Fault forRun);
    // The answer of a fault that replaces the usual one; nullopt for faults in delivery.
    static std::optional<Answer> ReplacementFor(Fault fault, const Request& request);
    static Answer BadRequest(const std::string& reason);

private:
    Answer ServeFile(const std::string& path) const;

    std::optional<std::filesystem::path> files_;
    ArticleDirectory articles_;
};

}  // namespace qen::feedsim
