#include "videos/VideoFeedClient.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "VideoFixture.h"
#include "text/HtmlText.h"

namespace qen {
namespace {

using test::BatchUrl;
using test::Ids;
using test::KeywordFeed;
using test::Videos;

constexpr const char* kFeedError =
    "There is an error with the YouTube feed data\n\nThe software was unable to fetch any videos\n\nPlease try "
    "again later";
constexpr const char* kQuotaError =
    "YouTube is reporting that there have been too many recent calls to the YouTube RSS feed API from your IP "
    "address\n\nThe software was unable to fetch any videos\n\nPlease try again later";

class KeywordFetchTest : public ::testing::Test, protected test::VideoFixture {
protected:
    VideoFeedClient client{fetcher, store, test::kFeedHost};
    bool cancel = false;
    std::vector<std::string> labels;
    std::function<void(int batch)> onBatch;  // plays the user while a batch is fetched
    std::vector<std::string> messages;       // of the failed fetches
    KeywordFetch ended;                      // how the last run ended

    int Fetch(bool keep, const std::string& keywords = "Dog Training", int maximum = 1000) {
        ended = client.FetchKeywordVideos(keep, keywords, maximum, 0, cancel, [this](const std::string& text) {
            labels.push_back(text);
            if (onBatch) onBatch(static_cast<int>(labels.size()));
        });
        if (!ended.outcome) messages.push_back(ended.outcome.Message());
        return ended.count;
    }

    // Batches 1, 2, ... of "dog-training" answer these feeds; later batches answer nothing.
    void Answer(const std::vector<std::string>& feeds) {
        for (std::size_t n = 0; n < feeds.size(); ++n)
            fetcher.answers[BatchUrl("dog-training", static_cast<int>(n) + 1)] = feeds[n];
    }
    // Every batch of "dog-training" answers a feed document, with `videos` in batch 1 only.
    void AnswerEveryBatch(const std::vector<VideoEntry>& videos) {
        std::vector<std::string> feeds(20, KeywordFeed({}));
        feeds[0] = KeywordFeed(videos);
        Answer(feeds);
    }

    struct Flags {
        bool quota, cancelled, failed;
        bool operator==(const Flags&) const = default;
    };
    Flags OutcomeFlags() const { return {ended.quotaReached, ended.cancelled, ended.Failed()}; }
};

TEST_F(KeywordFetchTest, AsksEveryTermForTwentyBatchesOfFifty) {
    // One new video per batch keeps the run going through both terms.
    for (int batch = 1; batch <= 20; ++batch) {
        fetcher.answers[BatchUrl("puppy-care", batch)] = KeywordFeed(Videos("p", 1, batch));
        fetcher.answers[BatchUrl("leash", batch)] = KeywordFeed(Videos("l", 1, batch));
    }
    EXPECT_EQ(Fetch(false, " Puppy Care \r\n\r\nLeash\r\n"), 40);

    std::vector<std::string> expected;
    for (const char* term : {"puppy-care", "leash"})
        for (int start = 1; start <= 951; start += 50)
            expected.push_back("http://feeds.test/feeds/api/videos?q=" + std::string(term) +
                               "&start-index=" + std::to_string(start) +
                               "&max-results=50&v=2&format=5&orderby=viewCount");
    EXPECT_EQ(RequestedUrls(), expected);
    for (const auto& request : fetcher.requests) EXPECT_EQ(request.channel, FetchChannel::Videos);
    ASSERT_EQ(labels.size(), 40u);
    EXPECT_EQ(labels.front(), "Fetching Video Batch 1");
    EXPECT_EQ(labels.back(), "Fetching Video Batch 40");
    // The videos of the whole run, in the order found.
    EXPECT_EQ(store.CurrentVideos.front().id, test::VideoId("p", 1));
    EXPECT_EQ(store.CurrentVideos.back().id, test::VideoId("l", 20));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(OutcomeFlags(), (Flags{false, false, false}));
}

TEST_F(KeywordFetchTest, SortOrders) {
    struct Case {
        int order;
        const char* suffix;
    };
    const Case cases[] = {{0, "&format=5&orderby=viewCount"}, {1, "&format=5&orderby=published"}, {2, "&format=5"},
                          {3, "&format=5&orderby=viewCount"}, {99, "&format=5&orderby=viewCount"}};
    for (const Case& c : cases) {
        fetcher.requests.clear();
        (void)client.FetchKeywordVideos(false, "Dogs", 1000, c.order, cancel, nullptr);
        ASSERT_FALSE(fetcher.requests.empty());
        const std::string& url = fetcher.requests.front().url;
        EXPECT_EQ(url.substr(url.size() - std::string(c.suffix).size()), c.suffix) << c.order;
    }
}

TEST_F(KeywordFetchTest, HowARunEnds) {
    const std::string notAFeed = "<html>Bad gateway</html>";
    const std::string quota = test::kQuotaFeed;
    struct Case {
        const char* name;
        std::vector<std::string> batches;  // answers of batches 1, 2, ...; later ones answer nothing
        int returned;
        std::size_t requests;
        std::vector<std::string> messages;
        Flags flags;
    };
    const Case cases[] = {
        {"no feed document in batch 3 keeps what was found",
         {KeywordFeed(Videos("a", 50)), KeywordFeed(Videos("b", 50))}, 100, 3, {}, {false, false, false}},
        {"a page that is no feed in batch 2 keeps what was found",
         {KeywordFeed(Videos("a", 3)), "<html>second</html>"}, 3, 2, {}, {false, false, false}},
        {"a failed first download", {}, 0, 1, {kFeedError}, {false, false, true}},
        {"no feed document at first", {notAFeed}, 0, 1, {kFeedError}, {false, false, true}},
        {"quota at first", {quota}, 0, 1, {kQuotaError}, {true, false, true}},
        {"quota after videos were found", {KeywordFeed(Videos("a", 7)), quota}, 7, 2, {}, {true, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fetcher.answers.clear();
        fetcher.requests.clear();
        messages.clear();
        Answer(c.batches);
        EXPECT_EQ(Fetch(false), c.returned);
        EXPECT_EQ(fetcher.requests.size(), c.requests);
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(OutcomeFlags(), c.flags);
        EXPECT_EQ(store.CurrentVideos.size(), static_cast<std::size_t>(c.returned));
    }
}

TEST_F(KeywordFetchTest, FeedsWithoutEntriesStillRunTheWholeTerm) {
    AnswerEveryBatch({});
    EXPECT_EQ(Fetch(false), 0);
    // Twenty feed documents, then the next term: there is none, so the run ends.
    EXPECT_EQ(fetcher.requests.size(), 20u);
    EXPECT_EQ(messages, std::vector<std::string>{"Unable to find any videos for keyword: dog-training"});
    EXPECT_TRUE(ended.Failed());
}

TEST_F(KeywordFetchTest, CancelIsSeenAtTheNextBatchAndKeepsNothingNew) {
    for (bool keep : {false, true}) {
        SCOPED_TRACE(keep ? "keep" : "replace");
        store.CurrentVideos = Videos("old", 3);
        fetcher.requests.clear();
        labels.clear();
        cancel = false;
        std::vector<std::string> feeds;
        for (int batch = 1; batch <= 20; ++batch) feeds.push_back(KeywordFeed(Videos("n", 5, batch * 10)));
        Answer(feeds);
        onBatch = [this](int batch) {
            if (batch == 3) cancel = true;  // pressed while batch 3 downloads
        };
        EXPECT_EQ(Fetch(keep), 0);
        EXPECT_EQ(fetcher.requests.size(), 3u);
        EXPECT_TRUE(ended.cancelled);
        EXPECT_FALSE(ended.Failed());
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(Ids(store.CurrentVideos), keep ? Ids(Videos("old", 3)) : std::vector<std::string>{});
    }
}

// A Cancel that ends a batch's wait leaves that batch with nothing, which must read as the
// Cancel it is, not as a broken feed or the end of the videos.
TEST_F(KeywordFetchTest, ACancelThatEndsABatchsWaitEndsTheRunAsBetweenBatches) {
    for (int cancelledBatch : {1, 3}) {
        SCOPED_TRACE(cancelledBatch);
        store.CurrentVideos = Videos("old", 3);
        fetcher.requests.clear();
        messages.clear();
        cancel = false;
        std::vector<std::string> feeds;
        for (int batch = 1; batch <= 20; ++batch) feeds.push_back(KeywordFeed(Videos("n", 5, batch * 10)));
        Answer(feeds);
        fetcher.answers.erase(BatchUrl("dog-training", cancelledBatch));  // its wait ends empty
        bool watchedWhileWaiting = false;
        fetcher.duringFetch = [&] {
            watchedWhileWaiting = fetcher.cancelWatched == &cancel;
            if (fetcher.requests.size() == static_cast<std::size_t>(cancelledBatch)) cancel = true;
        };
        EXPECT_EQ(Fetch(true), 0);
        EXPECT_TRUE(watchedWhileWaiting);
        EXPECT_EQ(fetcher.cancelWatched, nullptr);
        EXPECT_EQ(fetcher.requests.size(), static_cast<std::size_t>(cancelledBatch));
        EXPECT_EQ(OutcomeFlags(), (Flags{false, true, false}));
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(Ids(store.CurrentVideos), Ids(Videos("old", 3)));
    }
}

TEST_F(KeywordFetchTest, WhichEntriesCountAsNew) {
    const std::vector<VideoEntry> none;
    struct Case {
        const char* name;
        std::vector<VideoEntry> feed;
        bool keep;
        std::vector<std::string> excludedWords;
        std::vector<std::string> added;  // ids, in front of the kept ones
        std::vector<std::string> messages;
    };
    const std::string unable = "Unable to find any videos for keyword: dog-training";
    const Case cases[] = {
        {"fields of five characters are no video",
         {{"abcde", "A long title"}, {"abcdefgh", "Title"}, {"abcdef", "Titles"}},
         false, {}, {"abcdef"}, {}},
        {"only unusable entries: nothing found at all",
         {{"abcde", "A long title"}, {"abcdefgh", "Title"}},
         false, {}, {}, {unable}},
        {"ids with other characters are skipped like short ones",
         {{"abc');alert(1);('", "A long title"}, {"abc def ghi", "A long title"}, {"abc&amp;def", "A long title"}},
         false, {}, {}, {unable}},
        {"a repeated id is taken once",
         {{"repeated01", "First title"}, {"repeated01", "Second title"}, {"another001", "Third title"}},
         false, {}, {"repeated01", "another001"}, {}},
        {"stored and deleted ids are known when keeping",
         {{"current001", "Known title"}, {"deleted001", "Deleted title"}, {"fresh00001", "Fresh title"}},
         true, {}, {"fresh00001"}, {}},
        {"without keep, stored and deleted ids come back",
         {{"current001", "Known title"}, {"deleted001", "Deleted title"}},
         false, {}, {"current001", "deleted001"}, {}},
        {"an exclusion word in any letter case",
         {{"cats000001", "Funny CATS compilation"}, {"dogs000001", "Funny dogs compilation"},
          {"cats000002", "Scaredy-cat dog"}},
         false, {"parrot", "cat"}, {"dogs000001"}, {}},
        {"an exclusion word with a cp1252 letter in any letter case",
         {{"eleve00001", "\xC9L\xC8VE training"}, {"dogs000001", "Funny dogs compilation"}},
         false, {"\xE9l\xE8ve"}, {"dogs000001"}, {}},
        {"only excluded videos: rejected, so no message", {{"cats000001", "Funny Cats"}}, false, {"cat"}, {}, {}},
        {"an empty exclusion word rejects everything", {{"dogs000001", "Funny dogs"}}, false, {"parrot", ""}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store.CurrentVideos = {{"current001", "Stored"}};
        store.DeletedVideoIds = {"deleted001"};
        client.SetExcludedWords(c.excludedWords);
        messages.clear();
        fetcher.answers.clear();
        AnswerEveryBatch(c.feed);
        Fetch(c.keep);
        std::vector<std::string> expected = c.added;
        if (c.keep) expected.push_back("current001");
        EXPECT_EQ(Ids(store.CurrentVideos), expected);
        EXPECT_EQ(messages, c.messages);
    }
}

TEST_F(KeywordFetchTest, TitlesAreKeptAsTheyStandInTheFeed) {
    const std::string title = "Sit &amp; stay &#233; <b>bold</b>";
    Answer({"<?xml version='1.0'?><feed><entry><title type='text'>" + title +
            "</title><yt:videoid>abcdef12345</yt:videoid></entry></feed>"});
    ASSERT_EQ(Fetch(false), 1);
    EXPECT_EQ(store.CurrentVideos.front(), (VideoEntry{"abcdef12345", title}));
}

// A feed of huge titles would fill the user data file and every page written from it.
TEST_F(KeywordFetchTest, TitlesAreCutToASoundSize) {
    const std::string huge(78 * 1024, 'x');
    Answer({"<?xml version='1.0'?><feed><entry><title>" + huge + "</title><yt:videoid>abcdef12345</yt:videoid></entry>"
            "<entry><title>" + std::string(498, 'y') + "&#233;z</title><yt:videoid>bcdefg23456</yt:videoid></entry>"
            "</feed>"});
    ASSERT_EQ(Fetch(false), 2);
    EXPECT_EQ(store.CurrentVideos[0].title, std::string(kMaxTitleBytes, 'x'));
    EXPECT_EQ(store.CurrentVideos[1].title, std::string(498, 'y'));  // the reference would not fit whole
}

TEST_F(KeywordFetchTest, NewVideosGoInFrontOfTheKeptOnes) {
    store.CurrentVideos = Videos("old", 2);
    Answer({KeywordFeed(Videos("new", 2)), KeywordFeed(Videos("new", 1, 3))});
    EXPECT_EQ(Fetch(true), 5);
    EXPECT_EQ(Ids(store.CurrentVideos), (std::vector<std::string>{test::VideoId("new", 1), test::VideoId("new", 2),
                                                                  test::VideoId("new", 3), test::VideoId("old", 1),
                                                                  test::VideoId("old", 2)}));
}

TEST_F(KeywordFetchTest, AtMostOneThousandNewVideosPerRun) {
    // Batches larger than asked for: the limit falls inside batch 15.
    std::vector<std::string> feeds;
    for (int batch = 1; batch <= 20; ++batch) feeds.push_back(KeywordFeed(Videos("v", 70, batch * 100)));
    for (int maximum : {1000, 5000}) {
        fetcher.requests.clear();
        Answer(feeds);
        EXPECT_EQ(Fetch(false, "Dog Training", maximum), 1000) << maximum;
        EXPECT_EQ(fetcher.requests.size(), 15u) << maximum;
        EXPECT_EQ(store.CurrentVideos[999].id, test::VideoId("v", 1500 + 19));
    }
    fetcher.requests.clear();
    EXPECT_EQ(Fetch(false, "Dog Training", 120), 120);
    EXPECT_EQ(fetcher.requests.size(), 2u);
}

TEST_F(KeywordFetchTest, TheStoreHoldsAtMostTwentyThousandVideos) {
    struct Case {
        std::size_t stored;
        int returned;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {19990, 20000, {}},
        {19999, 20000, {}},
        {20000, 0, {"The software already has the maximum number of 20000 videos\n\nNo more videos can be added"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        store.CurrentVideos = Videos("old", static_cast<int>(c.stored));
        messages.clear();
        fetcher.requests.clear();
        AnswerEveryBatch(Videos("new", 50));
        EXPECT_EQ(Fetch(true), c.returned);
        EXPECT_EQ(fetcher.requests.size(), 1u);  // full after the first batch
        EXPECT_EQ(store.CurrentVideos.size(), 20000u);
        EXPECT_EQ(store.CurrentVideos.back().id, test::VideoId("old", static_cast<int>(c.stored)));
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(ended.Failed(), !c.messages.empty());
    }
}

TEST_F(KeywordFetchTest, EveryEntryAlreadyKnownIsNoFailure) {
    store.CurrentVideos = Videos("old", 120);
    AnswerEveryBatch(Videos("old", 50));
    EXPECT_EQ(Fetch(true), 120);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(OutcomeFlags(), (Flags{false, false, false}));
}

class RelatedFetchTest : public ::testing::Test, protected test::VideoFixture {
protected:
    VideoFeedClient client{fetcher, store, test::kFeedHost};
    const std::string asked = "asked000001";
    std::vector<VideoEntry> related{{asked, "The video asked about"}};
};

TEST_F(RelatedFetchTest, AppendsTheRelatedVideosAfterTheOneAskedAbout) {
    const std::string prefix = "http://feeds.test/feeds/api/videos/";
    std::string feed = "<?xml version='1.0'?><feed>";
    feed += test::RelatedEntry(prefix + "related0001", "First related");
    feed += test::RelatedEntry("https://feeds.test/feeds/api/videos/secure00001", "Not plain http");
    feed += test::RelatedEntry("tag:youtube.com,2008:video:tagged00001", "Not an address");
    feed += test::RelatedEntry(prefix + asked, "The asked video again");
    feed += test::RelatedEntry(prefix + "related0001", "Repeated");
    feed += test::RelatedEntry(prefix + "short", "Short id");
    feed += test::RelatedEntry(prefix + "related0002", "Tiny");
    feed += test::RelatedEntry(prefix + "bad'id\"0003", "Unsafe id");
    feed += test::RelatedEntry("http://noslashesatall", "No slash after the scheme");
    feed += test::RelatedEntry(prefix + "related0004", "Fourth &amp; last");
    fetcher.answers[test::RelatedUrl(asked)] = feed + "</feed>";

    const Outcome fetched = client.FetchRelatedVideos(asked, related);
    EXPECT_TRUE(fetched.Ok()) << fetched.Message();
    EXPECT_EQ(RequestedUrls(), std::vector<std::string>{"http://feeds.test/feeds/api/videos/asked000001/related"});
    EXPECT_EQ(related, (std::vector<VideoEntry>{{asked, "The video asked about"},
                                                {"related0001", "First related"},
                                                {"noslashesatall", "No slash after the scheme"},
                                                {"related0004", "Fourth &amp; last"}}));
}

TEST_F(RelatedFetchTest, TitlesAreCutToASoundSize) {
    fetcher.answers[test::RelatedUrl(asked)] =
        "<?xml version='1.0'?><feed>" +
        test::RelatedEntry("http://feeds.test/feeds/api/videos/related0001", std::string(100000, 'r')) + "</feed>";
    ASSERT_TRUE(client.FetchRelatedVideos(asked, related).Ok());
    ASSERT_EQ(related.size(), 2u);
    EXPECT_EQ(related[1].title, std::string(kMaxTitleBytes, 'r'));
}

TEST_F(RelatedFetchTest, StopsAtFiftyEntries) {
    fetcher.answers[test::RelatedUrl(asked)] = test::RelatedFeed(Videos("r", 80));
    EXPECT_TRUE(client.FetchRelatedVideos(asked, related).Ok());
    ASSERT_EQ(related.size(), 50u);
    EXPECT_EQ(related.back().id, test::VideoId("r", 49));
}

TEST_F(RelatedFetchTest, Failures) {
    struct Case {
        const char* name;
        const char* answer;   // nullptr: the download brings nothing
        std::string message;  // empty: the download has spoken for itself
    };
    const Case cases[] = {
        {"nothing downloaded", nullptr, ""},
        {"no feed document", "<html>Not found</html>",
         "There is an error with the YouTube feed data\n\nThe software was unable to fetch any related videos\n\n"
         "Please try again later"},
        {"quota", test::kQuotaFeed.c_str(), kQuotaError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fetcher.answers.clear();
        if (c.answer) fetcher.answers[test::RelatedUrl(asked)] = c.answer;
        const Outcome fetched = client.FetchRelatedVideos(asked, related);
        EXPECT_FALSE(fetched.Ok());
        EXPECT_EQ(fetched.Message(), c.message);
        EXPECT_EQ(related.size(), 1u);
    }
}

}  // namespace
}  // namespace qen
