#pragma once
// One HTTP GET, seen from the logic. Plain C++: the client library lives behind it
// (platform/curl/ for the program, a scripted fake in the tests).
#include <cstddef>
#include <functional>
#include <string>

namespace qen {

// How far a transfer got.
enum class TransferPhase {
    Complete,    // the whole body went to the sink
    Stopped,     // the sink refused a piece, or keepGoing said no
    NoSession,   // the client could not even be set up
    NoAnswer,    // no connection, or the server never answered the request
    ReadFailed,  // the answer began but broke off while its body was read
};

struct TransferResult {
    TransferPhase phase = TransferPhase::Complete;
    std::string reason;  // the client's own words for a failure; empty on success
};

struct TransferRequest {
    std::string url;
    // Takes the body piece by piece; false refuses the piece and ends the transfer.
    std::function<bool(const char* data, std::size_t size)> sink;
    // Asked now and then, also while nothing arrives; false ends the transfer soon.
    std::function<bool()> keepGoing;
};

class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    // Called on a worker thread, possibly while an abandoned earlier transfer still runs
    // on another one. Always a fresh answer from the server: nothing is cached.
    virtual TransferResult Get(const TransferRequest& request) = 0;
};

}  // namespace qen
