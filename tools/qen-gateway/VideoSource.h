#pragma once
// A service that finds videos: a live search in batches of 50, and the videos related
// to one video. Both answer a page of videos, the service's quota refusal, or a failure.
#include <functional>
#include <string>
#include <string_view>

#include "qen-gateway/DailyBudget.h"
#include "qen-gateway/ServiceAnswers.h"
#include "qen-gateway/Upstream.h"

namespace qen::gateway {

enum class Order { Relevance, ViewCount, Published };

std::string_view NameOf(Order order);

constexpr int kBatchSize = 50;

using Log = std::function<void(const std::string& line)>;

class VideoSource {
public:
    virtual ~VideoSource() = default;
    virtual std::string_view Name() const = 0;
    // Results 50 * batch + 1 to 50 * batch + 50 of `query` (words separated by blanks).
    virtual ServicePage Search(const std::string& query, Order order, int batch) = 0;
    virtual ServicePage Related(const std::string& videoId) = 0;
};

// "%XX" for every byte but letters, digits and "-_.~".
std::string EncodeQueryValue(std::string_view value);

// One upstream call paid from the budget and read by `read`. A budget that is spent is
// the quota answer, without a call.
ServicePage CallService(Upstream& upstream, DailyBudget& budget, std::int64_t units, const std::string& url,
                        const std::function<ServicePage(int status, std::string_view body)>& read);

}  // namespace qen::gateway
