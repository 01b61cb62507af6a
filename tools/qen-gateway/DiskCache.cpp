#include "qen-gateway/DiskCache.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "files/FileIO.h"

namespace qen::gateway {

namespace {

constexpr std::string_view kEntryExtension = ".entry";

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

struct FileEntry {
    std::string key;
    CacheEntry entry;
};

std::optional<FileEntry> Deserialise(const std::string& bytes) {
    const std::size_t end = bytes.find('\n');
    if (end == std::string::npos) return std::nullopt;
    const nlohmann::json head = nlohmann::json::parse(bytes.substr(0, end), nullptr, false);
    if (head.is_discarded() || !head.is_object()) return std::nullopt;
    const auto key = head.find("key");
    const auto expires = head.find("expires");
    const auto next = head.find("next");
    if (key == head.end() || !key->is_string()) return std::nullopt;
    if (expires == head.end() || !expires->is_number_integer()) return std::nullopt;
    if (next == head.end() || !next->is_string()) return std::nullopt;
    return FileEntry{key->get<std::string>(),
                     CacheEntry{bytes.substr(end + 1), next->get<std::string>(), expires->get<std::int64_t>()}};
}

std::size_t BytesOf(const std::string& key, const CacheEntry& entry) {
    return key.size() + entry.body.size() + entry.next.size() + sizeof(CacheEntry);
}

// The entry files' names in order, so that passes can go on where the last one ended.
std::vector<std::string> EntryNames(const Path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder.Bytes(), error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.ends_with(kEntryExtension) && it->is_regular_file(error)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

DiskCache::DiskCache(Path folder, std::int64_t lifetimeSeconds, Clock clock, std::size_t memoryBytes)
    : folder_(std::move(folder)),
      lifetime_(lifetimeSeconds),
      clock_(std::move(clock)),
      memoryLimit_(memoryBytes),
      nextPrune_(clock_() + kPruneIntervalSeconds) {}

Path DiskCache::FileOf(const std::string& key) const {
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.entry", static_cast<unsigned long long>(Fnv1a(key)));
    return folder_ / name;
}

std::shared_ptr<const CacheEntry> DiskCache::Find(const std::string& key) {
    const std::int64_t now = clock_();
    {
        std::lock_guard lock(mutex_);
        if (auto held = memory_.find(key); held != memory_.end()) {
            if (held->second.entry->expires <= now) {
                Drop(held);
                return nullptr;
            }
            uses_.splice(uses_.begin(), uses_, held->second.use);
            return held->second.entry;
        }
    }
    std::shared_ptr<const CacheEntry> entry = ReadFile(key, now);
    if (entry) {
        std::lock_guard lock(mutex_);
        Hold(key, entry);
    }
    return entry;
}

std::shared_ptr<const CacheEntry> DiskCache::ReadFile(const std::string& key, std::int64_t now) const {
    std::optional<std::string> bytes = ReadFileBytes(FileOf(key));
    if (!bytes) return nullptr;
    std::optional<FileEntry> stored = Deserialise(*bytes);
    // Two keys may share a file name; the file names its own.
    if (!stored || stored->key != key || stored->entry.expires <= now) return nullptr;
    return std::make_shared<const CacheEntry>(std::move(stored->entry));
}

std::shared_ptr<const CacheEntry> DiskCache::Store(const std::string& key, std::string body, std::string next) {
    auto entry = std::make_shared<const CacheEntry>(CacheEntry{std::move(body), std::move(next), clock_() + lifetime_});
    {
        // Writers take turns: two saves of one file would share its temporary file.
        std::lock_guard writing(writeMutex_);
        SaveFileSafely(FileOf(key), Serialise(key, *entry));
    }
    {
        std::lock_guard lock(mutex_);
        Hold(key, entry);
    }
    PruneWhenDue();
    return entry;
}

void DiskCache::Hold(const std::string& key, std::shared_ptr<const CacheEntry> entry) {
    if (auto held = memory_.find(key); held != memory_.end()) Drop(held);
    const std::size_t bytes = BytesOf(key, *entry);
    if (bytes > memoryLimit_) return;  // it stays on disk only
    while (memoryBytes_ + bytes > memoryLimit_ && !uses_.empty()) Drop(memory_.find(uses_.back()));
    uses_.push_front(key);
    memory_.emplace(key, Held{std::move(entry), uses_.begin(), bytes});
    memoryBytes_ += bytes;
}

void DiskCache::Drop(std::unordered_map<std::string, Held>::iterator held) {
    memoryBytes_ -= held->second.bytes;
    uses_.erase(held->second.use);
    memory_.erase(held);
}

std::size_t DiskCache::MemoryBytes() const {
    std::lock_guard lock(mutex_);
    return memoryBytes_;
}

void DiskCache::PruneWhenDue() {
    const std::int64_t now = clock_();
    std::int64_t due = nextPrune_.load();
    if (now < due || !nextPrune_.compare_exchange_strong(due, now + kPruneIntervalSeconds)) return;
    PruneExpired();
}

std::size_t DiskCache::PruneExpired(std::size_t mostFiles) {
    std::lock_guard pass(pruneMutex_);
    const std::vector<std::string> names = EntryNames(folder_);
    if (names.empty()) return 0;
    const std::int64_t now = clock_();
    std::size_t at = std::upper_bound(names.begin(), names.end(), lastPruned_) - names.begin();
    std::size_t removed = 0;
    for (std::size_t looked = 0; looked < std::min(mostFiles, names.size()); ++looked, ++at) {
        if (at == names.size()) at = 0;
        lastPruned_ = names[at];
        if (RemoveIfExpired(folder_ / names[at], now)) ++removed;
    }
    return removed;
}

bool DiskCache::RemoveIfExpired(const Path& file, std::int64_t now) {
    // Under the writers' turn, so that an entry saved just now is never the one removed.
    std::lock_guard writing(writeMutex_);
    const std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes) return false;
    const std::optional<FileEntry> stored = Deserialise(*bytes);
    if (stored && stored->entry.expires > now) return false;
    return RemoveFile(file);
}

}  // namespace qen::gateway
