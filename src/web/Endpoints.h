#pragma once
// The outside services the program talks to. Each one can be pointed elsewhere (a
// distributor's own service, or the loopback simulator in tests and the demo): the
// environment variable wins, then the settings group "Endpoints", then the package's
// endpoints.txt, then the public host.
#include <map>
#include <string>

namespace qen {

class Settings;

enum class Endpoint {
    VideoFeedHost,    // video feed API host
    VideoDomain,      // video site's domain name; its pages stay inside the view
    VideoWebHost,     // video site's web host (watch addresses)
    ThumbnailHost,    // video thumbnails
    AdvertHost,       // advertising host; its pages stay inside the view
    LaunchAddress,    // pseudo-address whose links start a program; ends in "/"
    ArticleFeedHost,  // article directory's feed host
    ArticleSiteHost,  // article directory's site host
    UpdateHost,       // update server
    DownloadHost,     // second download server
};

struct EndpointInfo {
    const char* variable;      // environment variable
    const char* key;           // key in the settings group "Endpoints"
    const char* defaultValue;
};

const EndpointInfo& EndpointInfoOf(Endpoint endpoint);

// The configured value; an empty variable or key counts as not set.
std::string EndpointValue(Settings& settings, Endpoint endpoint);

// The hosts the opened package names (by settings key), for the rest of the run. Set once
// at start-up, before anything is fetched.
void UsePackageEndpoints(std::map<std::string, std::string> values);

// "http://" + thumbnail host + "/vi/" + id + "/0.jpg": the pages and the delete flow
// must build it alike, because the delete flow finds a post on a page by it.
std::string ThumbnailAddress(const std::string& thumbnailHost, const std::string& videoId);

}  // namespace qen
