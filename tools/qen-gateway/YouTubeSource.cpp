#include "qen-gateway/YouTubeSource.h"

namespace qen::gateway {

namespace {

std::string_view ServiceOrder(Order order) {
    switch (order) {
        case Order::ViewCount: return "viewCount";
        case Order::Published: return "date";
        default: return "relevance";
    }
}

}  // namespace

YouTubeSource::YouTubeSource(std::string apiBase, std::string key, Upstream& upstream, DailyBudget& budget,
                             DiskCache& cache)
    : apiBase_(std::move(apiBase)), key_(std::move(key)), upstream_(upstream), budget_(budget), pages_(cache) {}

ServicePage YouTubeSource::SearchCall(const std::string& query, std::string_view order, const std::string& pageToken) {
    std::string url = apiBase_ + "/search?part=snippet&type=video&maxResults=50&q=" + EncodeQueryValue(query) +
                      "&order=" + std::string(order) + "&key=" + EncodeQueryValue(key_);
    if (!pageToken.empty()) url += "&pageToken=" + EncodeQueryValue(pageToken);
    return CallService(upstream_, budget_, kSearchUnits, url, ReadYouTubeSearch);
}

ServicePage YouTubeSource::Search(const std::string& query, Order order, int batch) {
    const std::string key = "youtube/search/" + std::string(NameOf(order)) + "/" + std::to_string(batch) + "/" + query;
    return pages_.Get(key, [&]() -> ServicePage {
        std::string token;
        if (batch > 0) {
            // Page k is reached through the token of page k - 1, which is kept with it.
            ServicePage before = Search(query, order, batch - 1);
            if (before.kind != AnswerKind::Videos) return before;
            if (before.nextPageToken.empty()) {
                ServicePage end;
                end.kind = AnswerKind::Videos;
                return end;
            }
            token = before.nextPageToken;
        }
        return SearchCall(query, ServiceOrder(order), token);
    });
}

ServicePage YouTubeSource::Related(const std::string& videoId) {
    ServicePage titlePage = pages_.Get("youtube/video/" + videoId, [&] {
        std::string title;
        ServicePage page = CallService(upstream_, budget_, kVideoUnits,
                                       apiBase_ + "/videos?part=snippet&id=" + videoId + "&key=" + EncodeQueryValue(key_),
                                       [&](int status, std::string_view body) {
                                           return ReadYouTubeVideo(status, body, title);
                                       });
        if (page.kind == AnswerKind::Videos && !title.empty()) page.videos.push_back({videoId, title});
        return page;
    });
    if (titlePage.kind != AnswerKind::Videos || titlePage.videos.empty()) return titlePage;

    // The service has no related search any more: the video's own words stand in for it.
    const std::string& title = titlePage.videos.front().title;
    ServicePage related = pages_.Get("youtube/related/" + videoId, [&] { return SearchCall(title, "relevance", ""); });
    std::erase_if(related.videos, [&](const Video& video) { return video.id == videoId; });
    return related;
}

}  // namespace qen::gateway
