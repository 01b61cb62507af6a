#include "qen-gateway/ServiceAnswers.h"

#include <gtest/gtest.h>

#include "FakeVideoService.h"
#include "qen-gateway/FeedDocument.h"

namespace qen::gateway {
namespace {

using test::GatewayFixture;

TEST(YouTubeAnswers, RecordedSearchPagesGiveTheVideosWithTheTitlesTheServiceShows) {
    const ServicePage first = ReadYouTubeSearch(200, GatewayFixture("youtube-search-angular-aggrid.json"));
    ASSERT_EQ(first.kind, AnswerKind::Videos);
    EXPECT_EQ(first.nextPageToken, "CDIQAA");
    ASSERT_EQ(first.videos.size(), 2u);
    EXPECT_EQ(first.videos[0].id, "-D0qKh3xwzU");
    EXPECT_EQ(first.videos[0].title, "Minecraft Mais j'ai ajouté des armes à feu ! ( c'est ultra cheaté )");
    EXPECT_EQ(first.videos[1].id, "3fumBcKC6RE");

    const ServicePage polish = ReadYouTubeSearch(200, GatewayFixture("youtube-search-rn-video-app.json"));
    ASSERT_EQ(polish.videos.size(), 1u);
    EXPECT_EQ(polish.videos[0].title, "Duch daje \xC5\xBC" "ycie");  // the ż stays UTF-8

    // A channel among the results is no video.
    const ServicePage mixed = ReadYouTubeSearch(200, GatewayFixture("youtube-search-thinkful.json"));
    ASSERT_EQ(mixed.videos.size(), 1u);
    EXPECT_EQ(mixed.videos[0].id, "DN61Xcwc4u0");
}

TEST(YouTubeAnswers, ErrorsAreTheQuotaOnlyForTheQuotaReasons) {
    const std::string quotaBody = GatewayFixture("youtube-quota-error.json");
    auto withReason = [](const std::string& reason) {
        return R"({"error": {"code": 403, "errors": [{"domain": "usageLimits", "reason": ")" + reason + R"("}]}})";
    };
    const struct {
        const char* name;
        int status;
        std::string body;
        AnswerKind kind;
    } cases[] = {
        {"recorded quotaExceeded", 403, quotaBody, AnswerKind::Quota},
        {"dailyLimitExceeded", 403, withReason("dailyLimitExceeded"), AnswerKind::Quota},
        {"rateLimitExceeded", 403, withReason("rateLimitExceeded"), AnswerKind::Quota},
        {"429 whatever the body", 429, "slow down", AnswerKind::Quota},
        {"403 forbidden", 403, withReason("forbidden"), AnswerKind::Unavailable},
        {"quota reason on a 400", 400, withReason("quotaExceeded"), AnswerKind::Unavailable},
        {"bad key", 400, withReason("badRequest"), AnswerKind::Unavailable},
        {"5xx", 503, "<html>busy</html>", AnswerKind::Unavailable},
        {"200 but a web page", 200, "<html></html>", AnswerKind::Unavailable},
        {"200 without items", 200, R"({"kind": "youtube#searchListResponse"})", AnswerKind::Unavailable},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadYouTubeSearch(c.status, c.body).kind, c.kind) << c.name;
    }
}

TEST(InvidiousAnswers, RecordedAnswersGiveTheirVideos) {
    const ServicePage list = ReadInvidiousSearch(200, GatewayFixture("invidious-list-funami.json"));
    ASSERT_EQ(list.kind, AnswerKind::Videos);
    ASSERT_EQ(list.videos.size(), 5u);
    EXPECT_EQ(list.videos[3].id, "t31FYhiW2ss");
    EXPECT_EQ(list.videos[3].title, "Help me step bro I'm stuck in elo hell");

    const ServicePage related = ReadInvidiousRecommended(200, GatewayFixture("invidious-video-b0tbxShxFws.json"));
    ASSERT_EQ(related.kind, AnswerKind::Videos);
    ASSERT_EQ(related.videos.size(), 4u);
    EXPECT_EQ(related.videos[0].id, "3GOmJyTfRjg");
    EXPECT_EQ(related.videos[0].title, "I Regret Marrying Him \xE2\x9C\x85 Learn English Through Stories \xE2\x9C\x85");
    EXPECT_EQ(ReadInvidiousRecommended(200, "[]").kind, AnswerKind::Unavailable);
    EXPECT_EQ(ReadInvidiousSearch(429, "").kind, AnswerKind::Quota);
    EXPECT_EQ(ReadInvidiousSearch(500, R"({"error": "Could not extract"})").kind, AnswerKind::Unavailable);
}

TEST(ServiceAnswers, HostileAnswersGiveOnlyRuleKeepingIdsOrNothing) {
    const struct {
        const char* name;
        std::string body;
        std::size_t videos;  // SIZE_MAX: not an answer
    } cases[] = {
        {"truncated", R"([{"type":"video","videoId":"abcdefghijk","title":"x")", SIZE_MAX},
        {"wrong types", R"([{"type":"video","videoId":42,"title":["x"]},{"videoId":null}, 7, "s"])", 0},
        {"missing fields", R"([{}, {"type":"video"}, {"title":"no id"}])", 0},
        {"ids outside the rule",
         R"([{"videoId":"a\"b"},{"videoId":"../etc"},{"videoId":"a/b"},{"videoId":"<x>"},{"videoId":""},)"
         R"({"videoId":"ok_id-1","title":"kept"}])",
         1},
        {"deep nesting", std::string(100000, '[') + std::string(100000, ']'), SIZE_MAX},
        {"not JSON", "\x01\x02\xff", SIZE_MAX},
    };
    for (const auto& c : cases) {
        const ServicePage page = ReadInvidiousSearch(200, c.body);
        if (c.videos == SIZE_MAX) {
            EXPECT_EQ(page.kind, AnswerKind::Unavailable) << c.name;
        } else {
            EXPECT_EQ(page.kind, AnswerKind::Videos) << c.name;
            EXPECT_EQ(page.videos.size(), c.videos) << c.name;
        }
    }
}

TEST(FeedDocument, TitlesAreDecodedThenEscapedOnce) {
    const struct {
        const char* service;
        const char* inFeed;
    } cases[] = {
        {"Mais j&#39;ai", "Mais j'ai"},
        {"Tom &amp; Jerry", "Tom &amp; Jerry"},
        {"&quot;quoted&quot; &#x27;x&#x27;", "\"quoted\" 'x'"},
        {"raw & sign", "raw &amp; sign"},
        {"&lt;b&gt;bold&lt;/b&gt;", "&lt;b&gt;bold&lt;/b&gt;"},
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"&amp;lt; stays text", "&amp;lt; stays text"},
        {"&#0; &#xD800; &#1114112; &#9;", "       "},
        {"&unknown; &#; &#12", "&amp;unknown; &amp;#; &amp;#12"},
        {"line\nbreak", "line break"},
    };
    for (const auto& c : cases) {
        std::vector<Video> videos;
        AddVideo(videos, "abcdefghijk", c.service);
        const std::string feed = VideoFeed(videos, "videos.example.com:8080");
        EXPECT_NE(feed.find(std::string("<title>") + c.inFeed + "</title>"), std::string::npos) << c.service << "\n"
                                                                                              << feed;
    }
}

TEST(FeedDocument, EntriesCarryTheIdTheRuntimeReads) {
    std::vector<Video> videos;
    AddVideo(videos, "abcdefghijk", "First title");
    AddVideo(videos, "abcdefghijk", "the same id again");
    AddVideo(videos, "bad/id", "dropped");
    const std::string feed = VideoFeed(videos, "gw.example:81");
    EXPECT_TRUE(feed.starts_with("<?xml"));
    EXPECT_NE(feed.find("<entry><id>http://gw.example:81/feeds/api/videos/abcdefghijk</id><title>First title</title>"
                        "<yt:videoid>abcdefghijk</yt:videoid></entry>"),
              std::string::npos);
    EXPECT_EQ(feed.find("dropped"), std::string::npos);
    EXPECT_EQ(feed.find("again"), std::string::npos);

    const std::string quota = QuotaFeed();
    for (const char* marker : {"<?xml", "<code>too_many_recent_calls</code>", "<domain>yt:quota</domain>", "<error>"})
        EXPECT_NE(quota.find(marker), std::string::npos) << marker;
}

}  // namespace
}  // namespace qen::gateway
