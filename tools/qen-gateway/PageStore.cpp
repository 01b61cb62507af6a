#include "qen-gateway/PageStore.h"

#include <nlohmann/json.hpp>

namespace qen::gateway {

namespace {

std::string Serialise(const std::vector<Video>& videos) {
    nlohmann::json list = nlohmann::json::array();
    for (const Video& video : videos) list.push_back({video.id, video.title});
    return list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<std::vector<Video>> Deserialise(const std::string& text) {
    const nlohmann::json list = nlohmann::json::parse(text, nullptr, false);
    if (!list.is_array()) return std::nullopt;
    std::vector<Video> videos;
    for (const nlohmann::json& item : list) {
        if (!item.is_array() || item.size() != 2 || !item[0].is_string() || !item[1].is_string()) return std::nullopt;
        videos.push_back({item[0].get<std::string>(), item[1].get<std::string>()});
    }
    return videos;
}

}  // namespace

std::optional<ServicePage> PageStore::Cached(const std::string& key) {
    std::shared_ptr<const CacheEntry> entry = cache_.Find(key);
    if (!entry) return std::nullopt;
    std::optional<std::vector<Video>> videos = Deserialise(entry->body);
    if (!videos) return std::nullopt;
    ServicePage page;
    page.kind = AnswerKind::Videos;
    page.videos = std::move(*videos);
    page.nextPageToken = entry->next;
    return page;
}

ServicePage PageStore::Get(const std::string& key, const std::function<ServicePage()>& fetch) {
    if (std::optional<ServicePage> page = Cached(key)) return *page;
    return flights_.Run(key, [&] {
        // A flight that ended just now may have stored it.
        if (std::optional<ServicePage> page = Cached(key)) return *page;
        ServicePage page = fetch();
        if (page.kind == AnswerKind::Videos) cache_.Store(key, Serialise(page.videos), page.nextPageToken);
        return page;
    });
}

}  // namespace qen::gateway
