#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <filesystem>
#include <future>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "FakeVideoService.h"
#include "fakes/TempDir.h"
#include "qen-gateway/DiskCache.h"
#include "qen-gateway/GatewayServer.h"

namespace qen::gateway {
namespace {

using test::FakeVideoService;
using Mode = FakeVideoService::Mode;

constexpr const char* kKey = "AIzaTestKey-0123456789";

std::string KeywordPath(const std::string& term, int start, const std::string& order = "viewCount") {
    std::string path = "/feeds/api/videos?q=" + term + "&start-index=" + std::to_string(start) +
                       "&max-results=50&v=2&format=5";
    if (!order.empty()) path += "&orderby=" + order;
    return path;
}

// A gateway in front of the fake service, on a free loopback port.
class RunningGateway {
public:
    explicit RunningGateway(GatewayOptions options) : server_(std::move(options), log_) {
        const std::string problem = server_.Start();
        if (!problem.empty()) throw std::runtime_error(problem);
    }
    httplib::Result Get(const std::string& path, const httplib::Headers& headers = {}) {
        httplib::Client client(server_.Address());
        return client.Get(path, headers);
    }
    std::string Log() const { return log_.str(); }

private:
    std::ostringstream log_;
    GatewayServer server_;
};

class GatewayTest : public ::testing::Test {
protected:
    GatewayTest() { test::WriteFile(keyFile_, std::string(kKey) + "\n"); }

    GatewayOptions YouTube() const {
        GatewayOptions options;
        options.source = "youtube";
        options.keyFile = keyFile_;
        options.apiBase = fake_.YouTubeBase();
        options.port = 0;
        options.cacheDir = cache_ / "cache";
        options.upstreamTimeout = std::chrono::milliseconds(500);
        return options;
    }
    GatewayOptions Invidious() const {
        GatewayOptions options = YouTube();
        options.source = "invidious";
        options.instance = fake_.InvidiousInstance();
        return options;
    }

    test::TempDir cache_;
    Path keyFile_ = cache_ / "key.txt";
    FakeVideoService fake_;
};

TEST_F(GatewayTest, KeywordFormBecomesOneLiveSearchAndAFeedTheRuntimeReads) {
    RunningGateway gateway(YouTube());
    auto answer = gateway.Get(KeywordPath("dog-training", 1), {{"Host", "videos.example.com:8080"}});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_TRUE(answer->body.starts_with("<?xml"));
    EXPECT_NE(answer->body.find("<title>Minecraft Mais j'ai ajouté des armes à feu ! ( c'est ultra cheaté )</title>"),
              std::string::npos);
    EXPECT_NE(answer->body.find("<id>http://videos.example.com:8080/feeds/api/videos/-D0qKh3xwzU</id>"),
              std::string::npos);
    EXPECT_EQ(answer->get_header_value("Cache-Control"), "public, max-age=86400");

    const auto calls = fake_.Calls();
    ASSERT_EQ(calls.size(), 1u);
    for (const char* part : {"part=snippet", "type=video", "maxResults=50", "q=dog training", "order=viewCount",
                             "key=AIzaTestKey-0123456789"})
        EXPECT_NE(calls[0].find(part), std::string::npos) << part << " in " << calls[0];
    EXPECT_EQ(calls[0].find("pageToken"), std::string::npos);
}

TEST_F(GatewayTest, OrdersMapToTheServiceOrders) {
    RunningGateway gateway(YouTube());
    const struct {
        const char* orderby;
        const char* service;
    } cases[] = {{"viewCount", "order=viewCount"}, {"published", "order=date"}, {"", "order=relevance"}};
    for (const auto& c : cases) {
        ASSERT_EQ(gateway.Get(KeywordPath("ponds", 1, c.orderby))->status, 200);
        EXPECT_NE(fake_.Calls().back().find(c.service), std::string::npos) << c.orderby;
    }
}

TEST_F(GatewayTest, PageKCostsOneCallOncePageKMinusOneWasAsked) {
    RunningGateway gateway(YouTube());
    // Batch 3 of a term never asked walks the token chain: three calls.
    ASSERT_EQ(gateway.Get(KeywordPath("garden", 101))->status, 200);
    auto calls = fake_.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_NE(calls[1].find("pageToken=CDIQAA"), std::string::npos);
    EXPECT_NE(calls[2].find("pageToken=CAoQAA"), std::string::npos);

    auto fourth = gateway.Get(KeywordPath("garden", 151));
    EXPECT_EQ(fake_.CallCount(), 4u);
    EXPECT_NE(fake_.Calls().back().find("pageToken=CAUQAA"), std::string::npos);
    // The results have ended: a feed without entries, and nothing more is asked after it.
    EXPECT_TRUE(fourth->body.starts_with("<?xml"));
    EXPECT_EQ(fourth->body.find("<entry>"), std::string::npos);
    gateway.Get(KeywordPath("garden", 201));
    gateway.Get(KeywordPath("garden", 101));
    EXPECT_EQ(fake_.CallCount(), 4u);
}

TEST_F(GatewayTest, ServiceQuotaBecomesTheQuotaAnswerThatNoCacheKeeps) {
    for (Mode mode : {Mode::Quota, Mode::TooManyRequests}) {
        fake_.SetMode(mode);
        RunningGateway gateway(YouTube());
        auto answer = gateway.Get(KeywordPath("quota", 1));
        EXPECT_EQ(answer->status, 403);
        for (const char* marker : {"<?xml", "<code>too_many_recent_calls</code>", "<domain>yt:quota</domain>", "<error>"})
            EXPECT_NE(answer->body.find(marker), std::string::npos) << marker;
        EXPECT_EQ(answer->get_header_value("Cache-Control"), "no-store");
        EXPECT_NE(gateway.Log().find("quota"), std::string::npos);
    }
}

TEST_F(GatewayTest, FailuresBecomeAnAnswerWithoutAFeedDocument) {
    for (Mode mode : {Mode::BadKey, Mode::ServerError, Mode::NotJson, Mode::Oversized, Mode::Slow}) {
        fake_.SetMode(mode);
        RunningGateway gateway(Invidious());
        RunningGateway youtube(YouTube());
        for (RunningGateway* g : {&gateway, &youtube}) {
            auto answer = g->Get(KeywordPath("fails", 1));
            ASSERT_TRUE(answer);
            EXPECT_EQ(answer->status, 502) << static_cast<int>(mode);
            EXPECT_EQ(answer->body.find("<?xml"), std::string::npos);
            EXPECT_EQ(answer->get_header_value("Cache-Control"), "no-store");
            // One line per failure, the key never in it.
            const std::string log = g->Log();
            EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
            EXPECT_EQ(log.find(kKey), std::string::npos);
            EXPECT_EQ(answer->body.find(kKey), std::string::npos);
        }
    }
}

TEST_F(GatewayTest, TheDailyBudgetIsSpentBeforeCallingAndStaysSpentAcrossARestart) {
    GatewayOptions options = YouTube();
    options.dailyUnits = 250;
    {
        RunningGateway gateway(options);
        EXPECT_EQ(gateway.Get(KeywordPath("one", 1))->status, 200);
        EXPECT_EQ(gateway.Get(KeywordPath("two", 1))->status, 200);
        auto refused = gateway.Get(KeywordPath("three", 1));
        EXPECT_EQ(refused->status, 403);
        EXPECT_NE(refused->body.find("<domain>yt:quota</domain>"), std::string::npos);
        EXPECT_EQ(fake_.CallCount(), 2u);
    }
    RunningGateway restarted(options);
    const auto status = nlohmann::json::parse(restarted.Get("/status")->body);
    EXPECT_EQ(status["units_today"], 200);
    EXPECT_EQ(status["upstream_calls_today"], 2);
    EXPECT_EQ(status["budget_left"], 50);
    EXPECT_EQ(restarted.Get(KeywordPath("four", 1))->status, 403);
    EXPECT_EQ(fake_.CallCount(), 2u);
}

TEST_F(GatewayTest, AnswersSurviveARestartAndCarryTheSecondsTheyHaveLeft) {
    // The feed names the host asked, which stays the same behind a proxy.
    const httplib::Headers host = {{"Host", "videos.example.com"}};
    {
        RunningGateway gateway(YouTube());
        ASSERT_EQ(gateway.Get(KeywordPath("kept", 1), host)->status, 200);
    }
    RunningGateway restarted(YouTube());
    auto again = restarted.Get(KeywordPath("kept", 1), host);
    EXPECT_EQ(again->status, 200);
    EXPECT_NE(again->body.find("-D0qKh3xwzU"), std::string::npos);
    EXPECT_EQ(fake_.CallCount(), 1u);
    const std::string control = again->get_header_value("Cache-Control");
    ASSERT_TRUE(control.starts_with("public, max-age="));
    const long seconds = std::stol(control.substr(16));
    EXPECT_GT(seconds, 86'000);
    EXPECT_LE(seconds, 86'400);

    const auto status = nlohmann::json::parse(restarted.Get("/status")->body);
    EXPECT_EQ(status["cache_hits"], 1);
    EXPECT_EQ(status["cache_misses"], 0);
}

TEST_F(GatewayTest, StartingRemovesTheCacheFilesThatHaveExpired) {
    const Path folder = cache_ / "cache";
    test::MakeFolders(folder);
    DiskCache(folder, 60, [] { return 1000; }).Store("invidious/feed/long-ago", "<old/>");
    DiskCache(folder, 3600, SystemClock()).Store("invidious/feed/recent", "<recent/>");
    auto entryFiles = [&] {
        std::size_t count = 0;
        for (const auto& item : std::filesystem::directory_iterator(folder.Bytes()))
            count += item.path().extension() == ".entry";
        return count;
    };
    ASSERT_EQ(entryFiles(), 2u);
    RunningGateway gateway(Invidious());
    EXPECT_EQ(entryFiles(), 1u);
}

TEST_F(GatewayTest, IdenticalRequestsThatArriveTogetherMakeOneUpstreamCall) {
    fake_.SetDelay(std::chrono::milliseconds(300));
    RunningGateway gateway(Invidious());
    std::vector<std::future<std::string>> answers;
    for (int i = 0; i < 8; ++i)
        answers.push_back(std::async(std::launch::async, [&] { return gateway.Get(KeywordPath("together", 1))->body; }));
    std::vector<std::string> bodies;
    for (auto& answer : answers) bodies.push_back(answer.get());
    // Page 1 and the empty page 2 that ends the search.
    EXPECT_EQ(fake_.CallCount(), 2u);
    for (const std::string& body : bodies) EXPECT_EQ(body, bodies[0]);
    const auto status = nlohmann::json::parse(gateway.Get("/status")->body);
    EXPECT_EQ(status["cache_misses"], 1);
    EXPECT_EQ(status["cache_hits"], 7);
}

TEST_F(GatewayTest, HostileRequestsAreRefusedWithoutAskingTheService) {
    RunningGateway gateway(YouTube());
    const struct {
        std::string path;
        int status;
    } cases[] = {
        {"/feeds/api/videos?q=" + std::string(300, 'a') + "&start-index=1&max-results=50&v=2&format=5", 400},
        {"/feeds/api/videos?q=---&start-index=1&max-results=50&v=2&format=5", 400},
        {"/feeds/api/videos?start-index=1&max-results=50&v=2&format=5", 400},
        {"/feeds/api/videos?q=a&start-index=zero&max-results=50&v=2&format=5", 400},
        {"/feeds/api/videos?q=a&start-index=1&max-results=50&v=2&format=5&orderby=rating", 400},
        {"/feeds/api/videos/a%22b/related", 404},
        {"/feeds/api/videos/a%2Fb/related", 404},
        {"/feeds/api/videos//related", 404},
        {"/feeds/api/videos/abc/related/more", 404},
        {"/watch?v=abc", 404},
        {"/", 404},
    };
    for (const auto& c : cases) {
        auto answer = gateway.Get(c.path);
        ASSERT_TRUE(answer) << c.path;
        EXPECT_EQ(answer->status, c.status) << c.path;
    }
    EXPECT_EQ(fake_.CallCount(), 0u);
}

TEST_F(GatewayTest, YouTubeRelatedSearchesTheVideosTitleAndLeavesTheVideoOut) {
    RunningGateway gateway(YouTube());
    auto answer = gateway.Get("/feeds/api/videos/-D0qKh3xwzU/related", {{"Host", "gw.example:81"}});
    ASSERT_EQ(answer->status, 200);
    EXPECT_EQ(answer->body.find("<yt:videoid>-D0qKh3xwzU</yt:videoid>"), std::string::npos);
    EXPECT_NE(answer->body.find("<id>http://gw.example:81/feeds/api/videos/3fumBcKC6RE</id>"), std::string::npos);
    const auto calls = fake_.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_NE(calls[0].find("/videos?"), std::string::npos);
    EXPECT_NE(calls[1].find("q=Minecraft Mais j'ai ajouté des armes à feu !"), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(gateway.Get("/status")->body)["units_today"], 101);
}

TEST_F(GatewayTest, InvidiousFillsEachBatchOfFiftyFromConsecutivePages) {
    fake_.invidiousPages = 4;  // 5 recorded + 3 x 20 generated = 65 results
    RunningGateway gateway(Invidious());
    auto entries = [&](int start) {
        const std::string body = gateway.Get(KeywordPath("mars", start, "published"))->body;
        std::size_t count = 0;
        for (std::size_t at = body.find("<entry>"); at != std::string::npos; at = body.find("<entry>", at + 1)) ++count;
        return count;
    };
    EXPECT_EQ(entries(1), 50u);
    EXPECT_EQ(entries(51), 15u);
    EXPECT_EQ(entries(101), 0u);
    EXPECT_NE(fake_.Calls()[0].find("sort_by=upload_date"), std::string::npos);
    // Pages 1 to 5 (the empty one ends it), each asked once.
    EXPECT_EQ(fake_.CallCount(), 5u);
}

TEST_F(GatewayTest, InvidiousRelatedAreTheRecommendedVideos) {
    RunningGateway gateway(Invidious());
    auto answer = gateway.Get("/feeds/api/videos/b0tbxShxFws/related");
    ASSERT_EQ(answer->status, 200);
    EXPECT_NE(answer->body.find("<yt:videoid>mwA4XA0GSIY</yt:videoid>"), std::string::npos);
    EXPECT_NE(answer->body.find("<title>Practice for the interview test of Eiken 2nd grade &amp; my horizontal bar"),
              std::string::npos);
    EXPECT_EQ(fake_.Calls().at(0), "/invidious/api/v1/videos/b0tbxShxFws");
}

}  // namespace
}  // namespace qen::gateway
