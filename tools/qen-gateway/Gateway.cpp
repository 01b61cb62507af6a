#include "qen-gateway/Gateway.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "common/CommandLineTool.h"
#include "feedsim/VideoFeeds.h"
#include "qen-gateway/FeedDocument.h"

namespace qen::gateway {

namespace {

constexpr const char* kFeedType = "application/atom+xml; charset=UTF-8";
constexpr int kLastStartIndex = 1000;

GatewayAnswer Plain(int status, std::string text) {
    return {status, "text/plain; charset=UTF-8", std::move(text) + "\n", "no-store"};
}

// A Host header that may stand in an entry id: a name or address and a port.
bool IsUsableHost(std::string_view host) {
    if (host.empty() || host.size() > 255) return false;
    return std::all_of(host.begin(), host.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == ':' || c == '[' ||
               c == ']';
    });
}

std::string SearchWords(std::string term) {
    std::replace(term.begin(), term.end(), '-', ' ');
    const std::size_t first = term.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return term.substr(first, term.find_last_not_of(' ') - first + 1);
}

Order OrderNamed(const std::string& name) {
    if (name == "viewCount") return Order::ViewCount;
    if (name == "published") return Order::Published;
    return Order::Relevance;
}

}  // namespace

Gateway::Gateway(VideoSource& source, DiskCache& cache, DailyBudget& budget, std::string ownHost, Log log)
    : source_(source), cache_(cache), budget_(budget), ownHost_(std::move(ownHost)), log_(std::move(log)) {}

GatewayAnswer Gateway::Handle(const GatewayRequest& request) {
    const std::string host = IsUsableHost(request.host) ? request.host : ownHost_;
    if (request.path == "/feeds/api/videos") return Keyword(request, host);
    if (request.path == "/status") return Status();

    constexpr std::string_view kPrefix = "/feeds/api/videos/", kSuffix = "/related";
    const std::string_view path = request.path;
    if (path.size() > kPrefix.size() + kSuffix.size() && path.starts_with(kPrefix) && path.ends_with(kSuffix)) {
        const std::string id(path.substr(kPrefix.size(), path.size() - kPrefix.size() - kSuffix.size()));
        if (feedsim::IsVideoId(id)) return Related(id, host);
    }
    return Plain(404, "Not Found");
}

GatewayAnswer Gateway::Keyword(const GatewayRequest& request, const std::string& host) {
    auto parsed = feedsim::ParseKeywordQuery(request.params);
    if (const std::string* problem = std::get_if<std::string>(&parsed)) return Plain(400, *problem);
    const feedsim::KeywordQuery& query = std::get<feedsim::KeywordQuery>(parsed);
    if (query.term.size() > kLongestTerm)
        return Plain(400, "the term is longer than " + std::to_string(kLongestTerm) + " bytes");
    const std::string words = SearchWords(query.term);
    if (words.empty()) return Plain(400, "the term has no words");
    if (query.startIndex > kLastStartIndex) {
        // Past the last batch the results have ended.
        return {200, kFeedType, VideoFeed({}, host), "public, max-age=86400"};
    }

    const Order order = OrderNamed(query.orderBy);
    const int batch = (query.startIndex - 1) / kBatchSize;
    const std::string key = std::string(source_.Name()) + "/feed/keyword/" + std::string(NameOf(order)) + "/" +
                            std::to_string(batch) + "/" + host + "/" + words;
    const std::string what = "search \"" + tool::Printable(words) + "\" batch " + std::to_string(batch + 1);
    return Feed(key, host, what, [&] { return source_.Search(words, order, batch); });
}

GatewayAnswer Gateway::Related(const std::string& videoId, const std::string& host) {
    const std::string key = std::string(source_.Name()) + "/feed/related/" + host + "/" + videoId;
    return Feed(key, host, "related videos of " + videoId, [&] { return source_.Related(videoId); });
}

GatewayAnswer Gateway::FeedAnswer(const CacheEntry& entry) const {
    const long long left = std::max<long long>(0, entry.expires - cache_.Now());
    return {200, kFeedType, entry.body, "public, max-age=" + std::to_string(left)};
}

GatewayAnswer Gateway::Feed(const std::string& key, const std::string& host, const std::string& what,
                            const std::function<ServicePage()>& fetch) {
    if (std::shared_ptr<const CacheEntry> entry = cache_.Find(key)) {
        ++hits_;
        return FeedAnswer(*entry);
    }
    bool led = false;
    GatewayAnswer answer = flights_.Run(key, [&] {
        led = true;
        if (std::shared_ptr<const CacheEntry> entry = cache_.Find(key)) return FeedAnswer(*entry);
        const ServicePage page = fetch();
        switch (page.kind) {
            case AnswerKind::Videos:
                return FeedAnswer(*cache_.Store(key, VideoFeed(page.videos, host)));
            case AnswerKind::Quota:
                log_(std::string(source_.Name()) + " " + what + ": quota: " + page.reason);
                return GatewayAnswer{403, kFeedType, QuotaFeed(), "no-store"};
            default:
                log_(std::string(source_.Name()) + " " + what + ": unavailable: " + page.reason);
                return Plain(502, "The video service is unavailable");
        }
    });
    ++(led ? misses_ : hits_);
    return answer;
}

GatewayAnswer Gateway::Status() {
    const BudgetState state = budget_.State();
    nlohmann::json status = {
        {"source", source_.Name()},
        {"upstream_calls_today", state.calls},
        {"units_today", state.units},
        {"cache_hits", hits_.load()},
        {"cache_misses", misses_.load()},
    };
    status["budget_left"] = state.left < 0 ? nlohmann::json(nullptr) : nlohmann::json(state.left);
    return {200, "application/json", status.dump() + "\n", "no-store"};
}

}  // namespace qen::gateway
