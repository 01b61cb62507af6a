#pragma once
// The YouTube Data API v3: search (100 units a call) in pages of 50 that follow each
// other by page token, and a video's title (1 unit) for its related videos.
#include <string>

#include "qen-gateway/PageStore.h"
#include "qen-gateway/VideoSource.h"

namespace qen::gateway {

class YouTubeSource : public VideoSource {
public:
    static constexpr std::int64_t kSearchUnits = 100;
    static constexpr std::int64_t kVideoUnits = 1;

    YouTubeSource(std::string apiBase, std::string key, Upstream& upstream, DailyBudget& budget, DiskCache& cache);

    std::string_view Name() const override { return "youtube"; }
    ServicePage Search(const std::string& query, Order order, int batch) override;
    ServicePage Related(const std::string& videoId) override;

private:
    ServicePage SearchCall(const std::string& query, std::string_view order, const std::string& pageToken);

    std::string apiBase_, key_;
    Upstream& upstream_;
    DailyBudget& budget_;
    PageStore pages_;
};

}  // namespace qen::gateway
