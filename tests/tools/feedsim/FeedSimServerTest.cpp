// The simulator on the loopback network, fetched with the runtime's own transport.
#include "feedsim/FeedSimServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "fakes/ScopedEnvironment.h"
#include "platform/curl/CurlTransport.h"

namespace qen::feedsim {
namespace {

using namespace std::chrono_literals;

struct Fetched {
    TransferResult result;
    std::string body;
};

Fetched Fetch(const std::string& url) {
    Fetched fetched;
    CurlTransport transport;
    TransferRequest request;
    request.url = url;
    request.sink = [&](const char* data, std::size_t size) {
        fetched.body.append(data, size);
        return true;
    };
    request.keepGoing = [] { return true; };
    fetched.result = transport.Get(request);
    return fetched;
}

class FeedSimServerTest : public ::testing::Test {
protected:
    test::ScopedEnvironment environment;
    void SetUp() override { environment.Set("no_proxy", "127.0.0.1").Set("NO_PROXY", "127.0.0.1"); }
};

TEST_F(FeedSimServerTest, PortZeroPicksAFreeLoopbackPort) {
    Options options;
    options.port = 0;
    Server server(options);
    ASSERT_TRUE(server.Start());
    EXPECT_GT(server.Port(), 0);
    EXPECT_EQ(server.Address(), "http://127.0.0.1:" + std::to_string(server.Port()));

    const Fetched index = Fetch(server.Address() + "/");
    EXPECT_EQ(index.result.phase, TransferPhase::Complete);
    EXPECT_NE(index.body.find("feedsim"), std::string::npos);

    // A second server cannot take the same port.
    Options same;
    same.port = server.Port();
    Server second(same);
    EXPECT_FALSE(second.Start());
}

TEST_F(FeedSimServerTest, AFaultForTheRunMeetsEveryRequest) {
    Options options;
    options.port = 0;
    options.fault = Fault::Truncate;
    Server server(options);
    ASSERT_TRUE(server.Start());
    for (const char* path : {"/category/Pets:Dogs.xml", "/vi/AbCdEfGhIjK/0.jpg", "/"}) {
        SCOPED_TRACE(path);
        const Fetched fetched = Fetch(server.Address() + path);
        EXPECT_EQ(fetched.result.phase, TransferPhase::ReadFailed);
    }
}

TEST_F(FeedSimServerTest, StoppingEndsAHangingAnswerAtOnce) {
    Options options;
    options.port = 0;
    auto server = std::make_unique<Server>(options);
    ASSERT_TRUE(server->Start());
    // A client that gives up after a moment leaves the answer hanging on the server side.
    CurlTransport transport;
    TransferRequest request;
    request.url = server->Address() + "/fault/hang/category/Pets:Dogs.xml";
    request.sink = [](const char*, std::size_t) { return true; };
    const auto until = std::chrono::steady_clock::now() + 200ms;
    request.keepGoing = [until] { return std::chrono::steady_clock::now() < until; };
    EXPECT_EQ(transport.Get(request).phase, TransferPhase::Stopped);

    const auto start = std::chrono::steady_clock::now();
    server.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

}  // namespace
}  // namespace qen::feedsim
