#include "qen-gateway/ServiceAnswers.h"

#include <nlohmann/json.hpp>

namespace qen::gateway {

namespace {

using nlohmann::json;

// Deeper nesting than any real answer has is refused before parsing.
constexpr int kDeepestNesting = 64;

bool NestingWithinLimit(std::string_view body) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kDeepestNesting) return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

std::optional<json> Parse(std::string_view body) {
    if (!NestingWithinLimit(body)) return std::nullopt;
    json value = json::parse(body, nullptr, false);
    if (value.is_discarded()) return std::nullopt;
    return value;
}

const json* Member(const json& object, const char* name) {
    if (!object.is_object()) return nullptr;
    auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

std::string_view StringMember(const json& object, const char* name) {
    const json* value = Member(object, name);
    if (!value || !value->is_string()) return {};
    return value->get_ref<const std::string&>();
}

ServicePage Failure(AnswerKind kind, std::string reason) {
    ServicePage page;
    page.kind = kind;
    page.reason = std::move(reason);
    return page;
}

// YouTube's error answer: {"error": {"code": 403, "errors": [{"reason": "quotaExceeded"}]}}.
ServicePage YouTubeError(int status, const std::optional<json>& answer) {
    if (status == 429) return Failure(AnswerKind::Quota, "429 Too Many Requests");
    std::string reasons;
    if (answer) {
        const json* error = Member(*answer, "error");
        const json* errors = error ? Member(*error, "errors") : nullptr;
        if (errors && errors->is_array()) {
            for (const json& item : *errors) {
                const std::string_view reason = StringMember(item, "reason");
                if (status == 403 && (reason == "quotaExceeded" || reason == "dailyLimitExceeded" ||
                                      reason == "rateLimitExceeded"))
                    return Failure(AnswerKind::Quota, "403 " + std::string(reason));
                if (!reason.empty() && reasons.size() < 200) reasons += " " + std::string(reason);
            }
        }
    }
    return Failure(AnswerKind::Unavailable, "status " + std::to_string(status) + reasons);
}

// Parses a YouTube answer into `answer` and points `items` at its list; gives the failure the
// answer stands for when it holds no list.
std::optional<ServicePage> ReadYouTubeItems(int status, std::string_view body, std::optional<json>& answer,
                                            const json*& items) {
    answer = Parse(body);
    if (status != 200) return YouTubeError(status, answer);
    if (!answer) return Failure(AnswerKind::Unavailable, "the answer is not JSON");
    items = Member(*answer, "items");
    if (!items || !items->is_array()) return Failure(AnswerKind::Unavailable, "the answer has no items");
    return std::nullopt;
}

}  // namespace

ServicePage ReadYouTubeSearch(int status, std::string_view body) {
    std::optional<json> answer;
    const json* items = nullptr;
    if (std::optional<ServicePage> failure = ReadYouTubeItems(status, body, answer, items)) return *failure;

    ServicePage page;
    page.kind = AnswerKind::Videos;
    for (const json& item : *items) {
        const json* id = Member(item, "id");
        const json* snippet = Member(item, "snippet");
        if (!id || !snippet) continue;
        if (const std::string_view kind = StringMember(*id, "kind"); !kind.empty() && kind != "youtube#video")
            continue;
        AddVideo(page.videos, StringMember(*id, "videoId"), StringMember(*snippet, "title"));
    }
    page.nextPageToken = std::string(StringMember(*answer, "nextPageToken"));
    return page;
}

ServicePage ReadYouTubeVideo(int status, std::string_view body, std::string& title) {
    title.clear();
    std::optional<json> answer;
    const json* items = nullptr;
    if (std::optional<ServicePage> failure = ReadYouTubeItems(status, body, answer, items)) return *failure;
    ServicePage page;
    page.kind = AnswerKind::Videos;
    if (!items->empty()) {
        if (const json* snippet = Member(items->front(), "snippet"))
            title = DecodeServiceTitle(StringMember(*snippet, "title"));
    }
    return page;
}

namespace {

ServicePage InvidiousError(int status, const std::optional<json>& answer) {
    if (status == 429) return Failure(AnswerKind::Quota, "429 Too Many Requests");
    std::string reason = "status " + std::to_string(status);
    if (answer) {
        const std::string_view error = StringMember(*answer, "error");
        reason += " " + std::string(error.substr(0, 200));
    }
    return Failure(AnswerKind::Unavailable, reason);
}

void AddInvidiousVideos(ServicePage& page, const json& list) {
    for (const json& item : list) {
        const std::string_view type = StringMember(item, "type");
        if (!type.empty() && type != "video" && type != "shortVideo") continue;
        AddVideo(page.videos, StringMember(item, "videoId"), StringMember(item, "title"));
    }
}

}  // namespace

ServicePage ReadInvidiousSearch(int status, std::string_view body) {
    const std::optional<json> answer = Parse(body);
    if (status != 200) return InvidiousError(status, answer);
    if (!answer) return Failure(AnswerKind::Unavailable, "the answer is not JSON");
    if (!answer->is_array()) return InvidiousError(status, answer);
    ServicePage page;
    page.kind = AnswerKind::Videos;
    AddInvidiousVideos(page, *answer);
    return page;
}

ServicePage ReadInvidiousRecommended(int status, std::string_view body) {
    const std::optional<json> answer = Parse(body);
    if (status != 200) return InvidiousError(status, answer);
    if (!answer) return Failure(AnswerKind::Unavailable, "the answer is not JSON");
    const json* recommended = Member(*answer, "recommendedVideos");
    if (!recommended || !recommended->is_array())
        return Failure(AnswerKind::Unavailable, "the answer has no recommendedVideos");
    ServicePage page;
    page.kind = AnswerKind::Videos;
    AddInvidiousVideos(page, *recommended);
    return page;
}

}  // namespace qen::gateway
