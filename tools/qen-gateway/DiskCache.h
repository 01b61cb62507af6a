#pragma once
// Answers kept on disk by key for a fixed time, so that they survive a restart; the
// recently used ones are also held in memory, up to a number of bytes, so that a fresh
// hit touches no file. Safe to use from many threads.
#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
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
    static constexpr std::size_t kDefaultMemoryBytes = std::size_t{64} << 20;
    // Expired files are looked for this often, in passes of at most kPruneBatch files.
    static constexpr std::int64_t kPruneIntervalSeconds = 3600;
    static constexpr std::size_t kPruneBatch = 2000;

    DiskCache(Path folder, std::int64_t lifetimeSeconds, Clock clock,
              std::size_t memoryBytes = kDefaultMemoryBytes);

    // The entry while it has not expired, else null.
    std::shared_ptr<const CacheEntry> Find(const std::string& key);
    // Kept from now for the lifetime; returns the stored entry. A write that fails
    // still keeps the entry in memory.
    std::shared_ptr<const CacheEntry> Store(const std::string& key, std::string body, std::string next = {});

    // Removes the entry files that have expired (and those that cannot be read), looking
    // at no more than `mostFiles`; the next pass goes on after the last file looked at.
    // Returns how many were removed.
    std::size_t PruneExpired(std::size_t mostFiles = kPruneBatch);

    std::int64_t Now() const { return clock_(); }
    std::size_t MemoryBytes() const;

private:
    struct Held {
        std::shared_ptr<const CacheEntry> entry;
        std::list<std::string>::iterator use;  // its place in `uses_`
        std::size_t bytes;
    };

    Path FileOf(const std::string& key) const;
    std::shared_ptr<const CacheEntry> ReadFile(const std::string& key, std::int64_t now) const;
    void Hold(const std::string& key, std::shared_ptr<const CacheEntry> entry);  // under mutex_
    void Drop(std::unordered_map<std::string, Held>::iterator held);             // under mutex_
    void PruneWhenDue();
    bool RemoveIfExpired(const Path& file, std::int64_t now);

    Path folder_;
    std::int64_t lifetime_;
    Clock clock_;
    std::size_t memoryLimit_;

    mutable std::mutex mutex_;  // the entries in memory
    std::unordered_map<std::string, Held> memory_;
    std::list<std::string> uses_;  // keys, the most recently used first
    std::size_t memoryBytes_ = 0;

    std::mutex writeMutex_;  // the files
    std::mutex pruneMutex_;  // one pass at a time
    std::string lastPruned_;  // the name the last pass ended with
    std::atomic<std::int64_t> nextPrune_;
};

}  // namespace qen::gateway
