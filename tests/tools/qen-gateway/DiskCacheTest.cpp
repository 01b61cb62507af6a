#include "qen-gateway/DiskCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fakes/TempDir.h"

namespace qen::gateway {
namespace {

constexpr std::int64_t kLifetime = 60;

class DiskCacheTest : public ::testing::Test {
protected:
    std::unique_ptr<DiskCache> Open(std::size_t memoryBytes = DiskCache::kDefaultMemoryBytes) {
        return std::make_unique<DiskCache>(folder_.path(), kLifetime, [this] { return now_.load(); }, memoryBytes);
    }

    std::vector<std::filesystem::path> EntryFiles() const {
        std::vector<std::filesystem::path> files;
        for (const auto& item : std::filesystem::directory_iterator(folder_.path().Bytes()))
            if (item.path().extension() == ".entry") files.push_back(item.path());
        return files;
    }
    void RemoveEntryFiles() const {
        for (const auto& file : EntryFiles()) std::filesystem::remove(file);
    }
    static std::string BodyOf(DiskCache& cache, const std::string& key) {
        const auto entry = cache.Find(key);
        return entry ? entry->body : "(none)";
    }

    test::TempDir folder_;
    std::atomic<std::int64_t> now_ = 1'000'000;
};

TEST_F(DiskCacheTest, AFreshHitIsAnsweredFromMemoryWithoutItsFile) {
    auto cache = Open();
    cache->Store("k", "<feed/>", "token");
    RemoveEntryFiles();
    const auto entry = cache->Find("k");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->body, "<feed/>");
    EXPECT_EQ(entry->next, "token");
    EXPECT_EQ(entry->expires, now_ + kLifetime);
}

TEST_F(DiskCacheTest, ExpiryHoldsInMemoryAndOnDisk) {
    auto cache = Open();
    cache->Store("k", "body");
    now_ += kLifetime - 1;
    EXPECT_EQ(BodyOf(*cache, "k"), "body");
    EXPECT_EQ(BodyOf(*Open(), "k"), "body");
    now_ += 1;
    EXPECT_EQ(BodyOf(*cache, "k"), "(none)");
    EXPECT_EQ(BodyOf(*Open(), "k"), "(none)");
}

TEST_F(DiskCacheTest, MemoryKeepsTheRecentlyUsedWithinItsBound) {
    constexpr std::size_t kBound = 16 * 1024;
    auto cache = Open(kBound);
    const std::string body(1000, 'x');
    for (int i = 0; i < 100; ++i) {
        cache->Store("key" + std::to_string(i), body);
        // The first one is asked for all along, so it is never the least recently used.
        ASSERT_EQ(BodyOf(*cache, "key0"), body);
        ASSERT_LE(cache->MemoryBytes(), kBound);
    }
    EXPECT_GT(cache->MemoryBytes(), kBound / 2);
    RemoveEntryFiles();
    EXPECT_EQ(BodyOf(*cache, "key0"), body);
    EXPECT_EQ(BodyOf(*cache, "key99"), body);
    EXPECT_EQ(BodyOf(*cache, "key1"), "(none)");
    EXPECT_EQ(BodyOf(*cache, "key50"), "(none)");
}

TEST_F(DiskCacheTest, AnEntryLargerThanTheBoundStaysOnDiskOnly) {
    auto cache = Open(1024);
    cache->Store("small", "s");
    cache->Store("large", std::string(4096, 'l'));
    EXPECT_LE(cache->MemoryBytes(), 1024u);
    EXPECT_EQ(BodyOf(*cache, "large"), std::string(4096, 'l'));
    EXPECT_EQ(BodyOf(*cache, "small"), "s");  // not pushed out by it
    RemoveEntryFiles();
    EXPECT_EQ(BodyOf(*cache, "large"), "(none)");
    EXPECT_EQ(BodyOf(*cache, "small"), "s");
}

TEST_F(DiskCacheTest, PruningRemovesExpiredAndDamagedEntriesOnly) {
    auto cache = Open();
    cache->Store("old1", "a");
    cache->Store("old2", "b");
    now_ += kLifetime;
    cache->Store("fresh", "c");
    test::WriteFile(folder_ / "0000000000000000.entry", "no head line");
    test::WriteFile(folder_ / "youtube-budget.json", "{}");
    ASSERT_EQ(EntryFiles().size(), 4u);

    EXPECT_EQ(cache->PruneExpired(), 3u);
    ASSERT_EQ(EntryFiles().size(), 1u);
    EXPECT_EQ(BodyOf(*Open(), "fresh"), "c");
    EXPECT_TRUE(test::Exists(folder_ / "youtube-budget.json"));
}

TEST_F(DiskCacheTest, EachPassLooksAtABoundedNumberAndTheNextGoesOn) {
    auto cache = Open();
    for (int i = 0; i < 7; ++i) cache->Store("key" + std::to_string(i), "body");
    now_ += kLifetime;
    std::vector<std::size_t> removed;
    for (int pass = 0; pass < 4; ++pass) removed.push_back(cache->PruneExpired(3));
    EXPECT_EQ(removed, (std::vector<std::size_t>{3, 3, 1, 0}));
    EXPECT_TRUE(EntryFiles().empty());
}

TEST_F(DiskCacheTest, StoringPrunesOnceThePruneIntervalHasPassed) {
    auto cache = Open();
    cache->Store("old", "a");
    now_ += kLifetime;
    cache->Store("early", "b");
    EXPECT_EQ(EntryFiles().size(), 2u);  // not due yet
    now_ += DiskCache::kPruneIntervalSeconds;
    cache->Store("due", "c");
    EXPECT_EQ(EntryFiles().size(), 1u);  // "early" expired too
    EXPECT_EQ(BodyOf(*Open(), "due"), "c");
}

}  // namespace
}  // namespace qen::gateway
