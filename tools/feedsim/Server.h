#pragma once
// The simulator on the network: an HTTP server on the loopback interface only.
#include <chrono>
#include <memory>
#include <string>

#include "Faults.h"

namespace qen::feedsim {

struct Options {
    int port = 8765;  // 0: any free port
    std::string filesFolder;
    Fault fault = Fault::None;  // for every request of the run
    std::chrono::milliseconds dripPause{200};
};

class Server {
public:
    explicit Server(Options options);
    ~Server();  // stops
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds 127.0.0.1 at the port of the options; false when it cannot.
    bool Bind();
    int Port() const;
    std::string Address() const;  // "http://127.0.0.1:PORT"
    std::string Host() const;     // "127.0.0.1:PORT"

    // Serves until Stop; call after Bind.
    void Run();
    // From any thread: hanging and dripping answers end at once.
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qen::feedsim
