#include "qen-gateway/DiskCache.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "files/FileIO.h"

namespace qen::gateway {

namespace {

constexpr std::size_t kMostInMemory = 4096;

std::uint64_t Fnv1a(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

// A file holds one line of JSON (key, expiry, note), then the body.
std::string Serialise(const std::string& key, const CacheEntry& entry) {
    nlohmann::json head = {{"key", key}, {"expires", entry.expires}, {"next", entry.next}};
    return head.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n" + entry.body;
}

std::optional<CacheEntry> Deserialise(const std::string& key, const std::string& bytes) {
    const std::size_t end = bytes.find('\n');
    if (end == std::string::npos) return std::nullopt;
    const nlohmann::json head = nlohmann::json::parse(bytes.substr(0, end), nullptr, false);
    if (head.is_discarded() || !head.is_object()) return std::nullopt;
    const auto storedKey = head.find("key");
    const auto expires = head.find("expires");
    const auto next = head.find("next");
    if (storedKey == head.end() || !storedKey->is_string() || *storedKey != key) return std::nullopt;
    if (expires == head.end() || !expires->is_number_integer()) return std::nullopt;
    if (next == head.end() || !next->is_string()) return std::nullopt;
    return CacheEntry{bytes.substr(end + 1), next->get<std::string>(), expires->get<std::int64_t>()};
}

}  // namespace

DiskCache::DiskCache(Path folder, std::int64_t lifetimeSeconds, Clock clock)
    : folder_(std::move(folder)), lifetime_(lifetimeSeconds), clock_(std::move(clock)) {}

Path DiskCache::FileOf(const std::string& key) const {
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.entry", static_cast<unsigned long long>(Fnv1a(key)));
    return folder_ / name;
}

std::optional<CacheEntry> DiskCache::Find(const std::string& key) {
    const std::int64_t now = clock_();
    std::lock_guard lock(mutex_);
    if (auto found = memory_.find(key); found != memory_.end()) {
        if (found->second.expires > now) return found->second;
        memory_.erase(found);
        return std::nullopt;
    }
    std::optional<std::string> bytes = ReadFileBytes(FileOf(key));
    if (!bytes) return std::nullopt;
    std::optional<CacheEntry> entry = Deserialise(key, *bytes);
    if (!entry || entry->expires <= now) return std::nullopt;
    if (memory_.size() >= kMostInMemory) memory_.clear();
    memory_[key] = *entry;
    return entry;
}

CacheEntry DiskCache::Store(const std::string& key, std::string body, std::string next) {
    CacheEntry entry{std::move(body), std::move(next), clock_() + lifetime_};
    {
        // Writers take turns: two saves of one file would share its temporary file.
        std::lock_guard writing(writeMutex_);
        SaveFileSafely(FileOf(key), Serialise(key, entry));
    }
    std::lock_guard lock(mutex_);
    if (memory_.size() >= kMostInMemory) memory_.clear();
    memory_[key] = entry;
    return entry;
}

}  // namespace qen::gateway
