#pragma once
// Seconds since the epoch; tests hand in their own.
#include <chrono>
#include <cstdint>
#include <functional>

namespace qen::gateway {

using Clock = std::function<std::int64_t()>;

inline Clock SystemClock() {
    return [] {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
}

}  // namespace qen::gateway
