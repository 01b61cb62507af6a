// A video service's answer, whatever it holds, becomes either a failure or a feed whose
// entries keep the id rule and whose titles cannot break out of their element.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "feedsim/VideoFeeds.h"
#include "qen-gateway/FeedDocument.h"
#include "qen-gateway/ServiceAnswers.h"

namespace {

void CheckFeed(const qen::gateway::ServicePage& page) {
    if (page.kind != qen::gateway::AnswerKind::Videos) return;
    const std::string feed = qen::gateway::VideoFeed(page.videos, "gw.example:8080");
    if (!feed.starts_with("<?xml")) std::abort();
    for (const auto& video : page.videos) {
        if (!qen::feedsim::IsVideoId(video.id)) std::abort();
        const std::string escaped = qen::gateway::EscapeXmlText(video.title);
        if (escaped.find('<') != std::string::npos || escaped.find('>') != std::string::npos) std::abort();
        if (feed.find("<title>" + escaped + "</title><yt:videoid>" + video.id + "</yt:videoid>") == std::string::npos)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    using namespace qen::gateway;
    CheckFeed(ReadYouTubeSearch(200, body));
    CheckFeed(ReadYouTubeSearch(403, body));
    CheckFeed(ReadInvidiousSearch(200, body));
    CheckFeed(ReadInvidiousRecommended(200, body));
    std::string title;
    ReadYouTubeVideo(200, body, title);
    std::vector<Video> one;
    AddVideo(one, "abcdefghijk", body);
    CheckFeed({AnswerKind::Videos, one, "", ""});
    return 0;
}
