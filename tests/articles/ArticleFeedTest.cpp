#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "articles/ArticleFeed.h"
#include "fakes/FakeFetcher.h"
#include "text/HtmlText.h"

namespace qen::test {
namespace {

constexpr const char* kFeedAddress = "http://feeds.example/category/Pets:Dogs.xml";

std::string Item(const std::string& title, const std::string& link) {
    return "<item><title>" + title + "</title><link>" + link + "</link><description>d</description></item>\n";
}

std::string Feed(const std::string& items) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel><title>Channel title</title>"
           "<link>http://site.example/channel/ch</link>" +
           items + "</channel></rss>";
}

std::vector<ArticleEntry> Load(const std::string& response) {
    FakeFetcher fetcher;
    fetcher.answers[kFeedAddress] = response;
    ArticleFeed feed;
    EXPECT_TRUE(feed.LoadArticleFeed(fetcher, kFeedAddress));
    return feed.Entries();
}

TEST(ArticleFeed, ReadsTitleAndIdOfEachItem) {
    struct Case {
        const char* why;
        std::string items;
        std::vector<ArticleEntry> entries;
    };
    const Case cases[] = {
        {"the id is the text after the last slash, query included",
         Item("First", "http://site.example/?Dog-Training&id=101") +
             Item("Second", "http://site.example/?a=1&u=http://x.example/deep/202"),
         {{"First", "?Dog-Training&id=101"}, {"Second", "202"}}},
        {"titles and links are trimmed; CDATA markers stay",
         Item("\r\n  Spaced title \r\n", " \nhttp://site.example/a/7\n ") +
             Item("<![CDATA[Wrapped]]>", "http://site.example/8"),
         {{"Spaced title", "7"}, {"<![CDATA[Wrapped]]>", "8"}}},
        {"items without a usable link are skipped",
         Item("No slash", "nolink") + Item("Ends in slash", "http://site.example/dir/") +
             "<item><title>No link</title></item>" + Item("Kept", "http://site.example/9"),
         {{"Kept", "9"}}},
        {"<titles> is not <title>",
         "<item><titles>wrong</titles><title>right</title><link>http://s/1</link></item>",
         {{"right", "1"}}},
        {"the same id twice is kept twice",
         Item("One", "http://s/5") + Item("Two", "http://s/5"), {{"One", "5"}, {"Two", "5"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(Load(Feed(c.items)), c.entries) << c.why;
}

TEST(ArticleFeed, TitlesAreCutToASoundSizeKeepingTheirCdataMarkers) {
    const std::string huge(80000, 't');
    const std::vector<ArticleEntry> entries =
        Load(Feed(Item(huge, "http://s/1") + Item("<![CDATA[" + huge + "]]>", "http://s/2")));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].title, std::string(kMaxTitleBytes, 't'));
    EXPECT_EQ(entries[1].title, "<![CDATA[" + std::string(kMaxTitleBytes, 't') + "]]>");
}

TEST(ArticleFeed, KeepsTheFirstHundredItemsWithAnId) {
    std::string items;
    for (int n = 1; n <= 150; ++n) {
        // Every tenth item has nowhere to go; it must not take a place.
        const std::string link = n % 10 == 0 ? "http://s/" : "http://s/" + std::to_string(n);
        items += Item("Title " + std::to_string(n), link);
    }
    const std::vector<ArticleEntry> entries = Load(Feed(items));
    ASSERT_EQ(entries.size(), ArticleFeed::kMaxEntries);
    EXPECT_EQ(entries.front(), (ArticleEntry{"Title 1", "1"}));
    EXPECT_EQ(entries[9], (ArticleEntry{"Title 11", "11"}));
    EXPECT_EQ(entries.back(), (ArticleEntry{"Title 111", "111"}));
}

TEST(ArticleFeed, KeepsItsEntriesWhenNoFeedCameBack) {
    FakeFetcher fetcher;
    ArticleFeed feed;
    fetcher.answers[kFeedAddress] = Feed(Item("Kept", "http://s/1"));
    ASSERT_TRUE(feed.LoadArticleFeed(fetcher, kFeedAddress));
    ASSERT_EQ(feed.Entries().size(), 1u);

    const char* failures[] = {
        "",                                         // nothing retrieved
        "<html><body>Service unavailable</body></html>",  // an error page is no feed
    };
    for (const char* response : failures) {
        fetcher.answers[kFeedAddress] = response;
        EXPECT_TRUE(feed.LoadArticleFeed(fetcher, kFeedAddress)) << response;
        EXPECT_EQ(feed.Entries().size(), 1u) << response;
        EXPECT_EQ(feed.FindArticleTitle("1"), "Kept") << response;
    }
    // A feed without items is a feed: the list is replaced by nothing.
    fetcher.answers[kFeedAddress] = Feed("");
    EXPECT_TRUE(feed.LoadArticleFeed(fetcher, kFeedAddress));
    EXPECT_EQ(feed.Entries().size(), 0u);

    ASSERT_EQ(fetcher.requests.size(), 4u);
    EXPECT_EQ(fetcher.requests[0].channel, FetchChannel::Articles);
    EXPECT_EQ(fetcher.requests[0].url, kFeedAddress);
}

TEST(ArticleFeed, FindsTheTitleOfTheFirstExactId) {
    ArticleFeed feed;
    feed.ReadItems(Feed(Item("Upper", "http://s/Ab") + Item("First", "http://s/12") + Item("Second", "http://s/12")));
    EXPECT_EQ(feed.FindArticleTitle("12"), "First");
    EXPECT_EQ(feed.FindArticleTitle("Ab"), "Upper");
    EXPECT_EQ(feed.FindArticleTitle("ab"), "");  // ids are case-sensitive
    EXPECT_EQ(feed.FindArticleTitle("1"), "");
}

TEST(ArticleFeed, AddressUsesTheCategoryPathAsStored) {
    EXPECT_EQ(ArticleFeedAddress("feeds.example:8080", "Home-and-Family:Dogs.xml"),
              "http://feeds.example:8080/category/Home-and-Family:Dogs.xml");
}

}  // namespace
}  // namespace qen::test
