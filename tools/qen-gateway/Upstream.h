#pragma once
// One GET to a video service. The answer's status and body come back whatever the
// status; a transfer that fails, takes longer than its limit or grows past its cap comes
// back as a failure with the client's reason.
#include <chrono>
#include <cstddef>
#include <string>

namespace qen::gateway {

struct UpstreamAnswer {
    bool received = false;  // false: no complete answer; see failure
    int status = 0;
    std::string body;
    std::string failure;
};

class Upstream {
public:
    virtual ~Upstream() = default;
    virtual UpstreamAnswer Get(const std::string& url) = 0;
};

class CurlUpstream : public Upstream {
public:
    static constexpr std::chrono::seconds kTimeout{10};
    static constexpr std::size_t kLargestBody = 5u << 20;

    explicit CurlUpstream(std::chrono::milliseconds timeout = kTimeout, std::size_t largestBody = kLargestBody);
    UpstreamAnswer Get(const std::string& url) override;

private:
    std::chrono::milliseconds timeout_;
    std::size_t largestBody_;
};

}  // namespace qen::gateway
