#pragma once
// The gateway apart from the network: the runtime's feed forms and /status go in, feed
// documents (or the answers the runtime reads as quota or failure) come out. Feeds are
// cached; identical requests that meet run once.
#include <atomic>
#include <map>
#include <string>

#include "qen-gateway/DailyBudget.h"
#include "qen-gateway/DiskCache.h"
#include "qen-gateway/SingleFlight.h"
#include "qen-gateway/VideoSource.h"

namespace qen::gateway {

struct GatewayRequest {
    std::string path;  // decoded, without the query
    std::multimap<std::string, std::string> params;
    std::string host;  // the Host header
};

struct GatewayAnswer {
    int status = 200;
    std::string contentType;
    std::string body;
    std::string cacheControl;
};

class Gateway {
public:
    // The longest search term taken; longer ones are refused before anything is asked.
    static constexpr std::size_t kLongestTerm = 200;

    // `ownHost` names the gateway in entry ids when a request's Host cannot be used.
    Gateway(VideoSource& source, DiskCache& cache, DailyBudget& budget, std::string ownHost, Log log);

    GatewayAnswer Handle(const GatewayRequest& request);

private:
    GatewayAnswer Keyword(const GatewayRequest& request, const std::string& host);
    GatewayAnswer Related(const std::string& videoId, const std::string& host);
    GatewayAnswer Status();
    // The cached feed under `key`, else `fetch`'s page made a feed (and cached).
    GatewayAnswer Feed(const std::string& key, const std::string& host, const std::string& what,
                       const std::function<ServicePage()>& fetch);
    GatewayAnswer FeedAnswer(const CacheEntry& entry) const;

    VideoSource& source_;
    DiskCache& cache_;
    DailyBudget& budget_;
    std::string ownHost_;
    Log log_;
    SingleFlight<GatewayAnswer> flights_;
    std::atomic<long long> hits_ = 0, misses_ = 0;
};

}  // namespace qen::gateway
