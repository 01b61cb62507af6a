#pragma once
// The gateway on the network: its cache, budget, service and HTTP server, made from the
// command line's options.
#include <memory>
#include <ostream>
#include <string>
#include <thread>

#include "qen-gateway/GatewayOptions.h"

namespace qen::gateway {

class GatewayServer {
public:
    // Failures are logged to `log`, one line each, the key never among them.
    GatewayServer(GatewayOptions options, std::ostream& log);
    ~GatewayServer();  // stops
    GatewayServer(const GatewayServer&) = delete;
    GatewayServer& operator=(const GatewayServer&) = delete;

    // Reads the key, makes the cache folder and listens; the reason when it cannot.
    std::string Start();
    void Wait();
    void Stop();

    std::string Address() const;  // "http://ADDR:PORT"

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::thread thread_;
};

}  // namespace qen::gateway
