#pragma once
// Answers kept on disk by key for a fixed time, so that they survive a restart; the
// recent ones are also held in memory. Safe to use from many threads.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "base/Path.h"
#include "qen-gateway/Clock.h"

namespace qen::gateway {

struct CacheEntry {
    std::string body;
    std::string next;          // a note kept with the body (a page token)
    std::int64_t expires = 0;  // seconds since the epoch
};

class DiskCache {
public:
    DiskCache(Path folder, std::int64_t lifetimeSeconds, Clock clock);

    // The entry while it has not expired.
    std::optional<CacheEntry> Find(const std::string& key);
    // Kept from now for the lifetime; returns the stored entry. A write that fails
    // still keeps the entry in memory.
    CacheEntry Store(const std::string& key, std::string body, std::string next = {});

    std::int64_t Now() const { return clock_(); }

private:
    Path FileOf(const std::string& key) const;

    Path folder_;
    std::int64_t lifetime_;
    Clock clock_;
    std::mutex mutex_;  // the entries in memory
    std::mutex writeMutex_;
    std::unordered_map<std::string, CacheEntry> memory_;
};

}  // namespace qen::gateway
