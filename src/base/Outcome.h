#pragma once
// What an operation that can fail gives back: nothing, or the message that says why.
// Logic returns it; the part of the program with a user in front of it shows the message.
#include <string>
#include <utility>

namespace qen {

class [[nodiscard]] Outcome {
public:
    static Outcome Success() { return Outcome(); }
    static Outcome Failure(std::string message) { return Outcome(std::move(message)); }

    bool Ok() const { return !failed_; }
    explicit operator bool() const { return Ok(); }
    const std::string& Message() const { return message_; }

private:
    Outcome() = default;
    explicit Outcome(std::string message) : failed_(true), message_(std::move(message)) {}

    bool failed_ = false;
    std::string message_;
};

}  // namespace qen
