#pragma once
// What the video services answer, read into videos: YouTube Data API v3 JSON and
// Invidious /api/v1 JSON. Anything malformed reads as "not an answer", never as a crash.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qen-gateway/FeedDocument.h"

namespace qen::gateway {

// How a service's answer counts for the runtime.
enum class AnswerKind {
    Videos,       // read; the videos (possibly none) follow
    Quota,        // the service refuses for its call quota
    Unavailable,  // a bad key, a fault of the service, or not an answer at all
};

struct ServicePage {
    AnswerKind kind = AnswerKind::Unavailable;
    std::vector<Video> videos;
    std::string nextPageToken;  // YouTube: empty on the last page
    std::string reason;         // for the log when not Videos
};

// A youtube#searchListResponse (status 200), or the service's error answer.
ServicePage ReadYouTubeSearch(int status, std::string_view body);
// The snippet title of the first item of a youtube#videoListResponse; the page's kind
// says why there is none.
ServicePage ReadYouTubeVideo(int status, std::string_view body, std::string& title);

// An /api/v1/search answer (an array of results; only videos are taken).
ServicePage ReadInvidiousSearch(int status, std::string_view body);
// An /api/v1/videos/ID answer: its recommendedVideos.
ServicePage ReadInvidiousRecommended(int status, std::string_view body);

}  // namespace qen::gateway
