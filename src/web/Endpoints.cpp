#include "web/Endpoints.h"

#include <cstdlib>

#include "platform/Settings.h"

namespace qen {

namespace {

constexpr const char* kGroup = "Endpoints";

// In the order of the enumeration.
constexpr EndpointInfo kEndpoints[] = {
    {"QEN_VIDEO_FEED_HOST", "VideoFeedHost", "gdata.youtube.com"},
    {"QEN_VIDEO_DOMAIN", "VideoDomain", "youtube.com"},
    {"QEN_VIDEO_WEB_HOST", "VideoWebHost", "www.youtube.com"},
    {"QEN_THUMBNAIL_HOST", "ThumbnailHost", "i.ytimg.com"},
    {"QEN_ADVERT_HOST", "AdvertHost", "ads.harrowmint.com"},
    // A reserved top-level domain: the address can never reach a real server.
    {"QEN_LAUNCH_ADDRESS", "LaunchAddress", "http://launch.qenruntime.invalid/"},
    {"QEN_ARTICLE_FEED_HOST", "ArticleFeedHost", "ezinearticles.com"},
    {"QEN_ARTICLE_SITE_HOST", "ArticleSiteHost", "ezinearticles.com"},
    {"QEN_UPDATE_HOST", "UpdateHost", "update.harrowmint.com"},
    {"QEN_DOWNLOAD_HOST", "DownloadHost", "download.harrowmint.com"},
};

std::map<std::string, std::string>& PackageEndpoints() {
    static std::map<std::string, std::string> values;
    return values;
}

}  // namespace

void UsePackageEndpoints(std::map<std::string, std::string> values) { PackageEndpoints() = std::move(values); }

const EndpointInfo& EndpointInfoOf(Endpoint endpoint) {
    return kEndpoints[static_cast<int>(endpoint)];
}

std::string EndpointValue(Settings& settings, Endpoint endpoint) {
    const EndpointInfo& info = EndpointInfoOf(endpoint);
    if (const char* fromEnvironment = std::getenv(info.variable); fromEnvironment && *fromEnvironment)
        return fromEnvironment;
    std::string fromSettings = settings.GetString(kGroup, info.key, "");
    if (!fromSettings.empty()) return fromSettings;
    if (auto fromPackage = PackageEndpoints().find(info.key); fromPackage != PackageEndpoints().end())
        return fromPackage->second;
    return info.defaultValue;
}

std::string ThumbnailAddress(const std::string& thumbnailHost, const std::string& videoId) {
    return "http://" + thumbnailHost + "/vi/" + videoId + "/0.jpg";
}

}  // namespace qen
