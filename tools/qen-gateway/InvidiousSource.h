#pragma once
// An Invidious instance's /api/v1: search pages are smaller than a batch, so a batch of
// 50 is filled from consecutive pages; a video's recommended videos are its related ones.
#include <string>

#include "qen-gateway/PageStore.h"
#include "qen-gateway/VideoSource.h"

namespace qen::gateway {

class InvidiousSource : public VideoSource {
public:
    // Beyond this many pages a search counts as ended.
    static constexpr int kMostPages = 60;

    // `apiBase` is the instance's address + "/api/v1".
    InvidiousSource(std::string apiBase, Upstream& upstream, DailyBudget& budget, DiskCache& cache);

    std::string_view Name() const override { return "invidious"; }
    ServicePage Search(const std::string& query, Order order, int batch) override;
    ServicePage Related(const std::string& videoId) override;

private:
    ServicePage SearchPage(const std::string& query, Order order, int page);

    std::string apiBase_;
    Upstream& upstream_;
    DailyBudget& budget_;
    PageStore pages_;
};

}  // namespace qen::gateway
