#pragma once
// The simulator on the network: an HTTP server on the loopback interface only.
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <thread>

#include "base/Path.h"
#include "feedsim/Faults.h"

namespace qen::feedsim {

struct Options {
    int port = 8765;  // 0: any free port
    Path filesFolder;  // the update server's files; none when empty
    Fault fault = Fault::None;  // for every request of the run
    std::chrono::milliseconds dripPause{200};
};

class Server {
public:
    explicit Server(Options options);
    ~Server();  // stops
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Listens on 127.0.0.1 at the port of the options and serves on a thread of its own;
    // false when the port cannot be had. Connections are taken once it returns.
    bool Start();
    // Blocks until the server has stopped.
    void Wait();
    // Hanging and dripping answers end at once; returns when the server has stopped.
    void Stop();

    int Port() const;
    // How many client connections requests came on so far: shows whether clients keep
    // their connection open between requests.
    std::size_t Connections() const;
    std::string Address() const;  // "http://127.0.0.1:PORT"
    std::string Host() const;     // "127.0.0.1:PORT"

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::thread thread_;
};

}  // namespace qen::feedsim
