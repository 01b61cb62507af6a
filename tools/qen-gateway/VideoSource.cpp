#include "qen-gateway/VideoSource.h"

namespace qen::gateway {

std::string_view NameOf(Order order) {
    switch (order) {
        case Order::ViewCount: return "viewCount";
        case Order::Published: return "published";
        default: return "relevance";
    }
}

std::string EncodeQueryValue(std::string_view value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += kDigits[byte >> 4];
            out += kDigits[byte & 0x0F];
        }
    }
    return out;
}

ServicePage CallService(Upstream& upstream, DailyBudget& budget, std::int64_t units, const std::string& url,
                        const std::function<ServicePage(int status, std::string_view body)>& read) {
    if (!budget.Spend(units)) {
        ServicePage refused;
        refused.kind = AnswerKind::Quota;
        refused.reason = "the daily budget of units is spent";
        return refused;
    }
    UpstreamAnswer answer = upstream.Get(url);
    if (!answer.received) {
        ServicePage failed;
        failed.kind = AnswerKind::Unavailable;
        failed.reason = answer.failure;
        return failed;
    }
    return read(answer.status, answer.body);
}

}  // namespace qen::gateway
