#pragma once
// A service's result pages kept in the cache (videos and the token of the page after),
// and asked for once however many requests need them at the same time.
#include <functional>
#include <optional>
#include <string>

#include "qen-gateway/DiskCache.h"
#include "qen-gateway/ServiceAnswers.h"
#include "qen-gateway/SingleFlight.h"

namespace qen::gateway {

class PageStore {
public:
    explicit PageStore(DiskCache& cache) : cache_(cache) {}

    // The cached page, else `fetch`'s; only a page of videos is kept.
    ServicePage Get(const std::string& key, const std::function<ServicePage()>& fetch);

private:
    std::optional<ServicePage> Cached(const std::string& key);

    DiskCache& cache_;
    SingleFlight<ServicePage> flights_;
};

}  // namespace qen::gateway
