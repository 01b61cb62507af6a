#include "qen-gateway/InvidiousSource.h"

#include <set>

namespace qen::gateway {

namespace {

std::string_view ServiceOrder(Order order) {
    switch (order) {
        case Order::ViewCount: return "view_count";
        case Order::Published: return "upload_date";
        default: return "relevance";
    }
}

}  // namespace

InvidiousSource::InvidiousSource(std::string apiBase, Upstream& upstream, DailyBudget& budget, DiskCache& cache)
    : apiBase_(std::move(apiBase)), upstream_(upstream), budget_(budget), pages_(cache) {}

ServicePage InvidiousSource::SearchPage(const std::string& query, Order order, int page) {
    const std::string key = "invidious/search/" + std::string(NameOf(order)) + "/" + std::to_string(page) + "/" + query;
    return pages_.Get(key, [&] {
        const std::string url = apiBase_ + "/search?q=" + EncodeQueryValue(query) + "&page=" + std::to_string(page) +
                                "&sort_by=" + std::string(ServiceOrder(order)) + "&type=video";
        return CallService(upstream_, budget_, 0, url, ReadInvidiousSearch);
    });
}

ServicePage InvidiousSource::Search(const std::string& query, Order order, int batch) {
    const std::size_t first = static_cast<std::size_t>(batch) * kBatchSize;
    std::vector<Video> results;
    std::set<std::string> seen;
    for (int page = 1; page <= kMostPages && results.size() < first + kBatchSize; ++page) {
        ServicePage answer = SearchPage(query, order, page);
        if (answer.kind != AnswerKind::Videos) {
            // Whatever was found before the failure is still a batch.
            if (results.size() > first) break;
            return answer;
        }
        if (answer.videos.empty()) break;
        for (Video& video : answer.videos)
            if (seen.insert(video.id).second) results.push_back(std::move(video));
    }
    ServicePage batchPage;
    batchPage.kind = AnswerKind::Videos;
    for (std::size_t i = first; i < results.size() && i < first + kBatchSize; ++i)
        batchPage.videos.push_back(std::move(results[i]));
    return batchPage;
}

ServicePage InvidiousSource::Related(const std::string& videoId) {
    ServicePage related = pages_.Get("invidious/related/" + videoId, [&] {
        return CallService(upstream_, budget_, 0, apiBase_ + "/videos/" + videoId, ReadInvidiousRecommended);
    });
    std::erase_if(related.videos, [&](const Video& video) { return video.id == videoId; });
    return related;
}

}  // namespace qen::gateway
