#pragma once
// The loopback simulator inside the test process: listens on a free port of 127.0.0.1
// from construction, serves on a thread of its own, and stops when it goes out of scope.
// Header-only, so only the test programs that use it link the simulator.
#include <stdexcept>
#include <string>

#include "feedsim/FeedSimServer.h"

namespace qen::test {

class TestHttpServer {
public:
    explicit TestHttpServer(feedsim::Options options = {}) : server_(OnFreePort(std::move(options))) {
        if (!server_.Start()) throw std::runtime_error("no free loopback port");
    }
    ~TestHttpServer() { server_.Stop(); }
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    std::string Host() const { return server_.Host(); }  // "127.0.0.1:PORT"
    std::string Url(const std::string& path) const { return server_.Address() + path; }
    std::size_t Connections() const { return server_.Connections(); }

private:
    static feedsim::Options OnFreePort(feedsim::Options options) {
        options.port = 0;
        return options;
    }

    feedsim::Server server_;
};

}  // namespace qen::test
