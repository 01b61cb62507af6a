#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "articles/ArticleLibrary.h"
#include "fakes/EndpointVariables.h"
#include "fakes/FakeFetcher.h"
#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "package/ContentSite.h"
#include "store/VideoStore.h"

namespace qen::test {
namespace {

constexpr const char* kTemplate = "<title>%%pagetitle%%</title>[%%toplefttext%%][%%toprighttext%%]\n%%videoposts%%";
constexpr const char* kFeedAddress = "http://feeds.test/category/Pets:Dogs.xml";
const std::string kFoot =
    "<BR><BR><DIV class='articlefootlinks'><a href='goback.html'>Go back to article list</a></DIV>";
const std::string kBackLink = "<a href='goback.html'>Go back to article list</a>";

std::string Feed(const std::vector<std::pair<std::string, std::string>>& items) {
    std::string feed = "<?xml version=\"1.0\"?><rss><channel>";
    for (const auto& [title, id] : items)
        feed += "<item><title>" + title + "</title><link>http://site.test/" + id + "</link></item>";
    return feed + "</channel></rss>";
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class ArticleLibraryTest : public ::testing::Test {
protected:
    ArticleLibraryTest() {
        ClearEndpointVariables(environment);
        settings.strings[{"Endpoints", "ArticleFeedHost"}] = "feeds.test";
        settings.strings[{"Endpoints", "ArticleSiteHost"}] = "site.test";
        fetcher.answers[kFeedAddress] = Feed({{"First Article", "10"}, {"Second Article", "20"}});
        UseSite(dir.path(), "Pets:Dogs.xml");
    }

    void UseSite(const Path& folder, const std::string& category) {
        site.WorkFolder = folder;
        site.PageTemplate = kTemplate;
        site.Niche = "Dogs";
        site.ArticleCategory = category;
        library = std::make_unique<ArticleLibrary>(ui, fetcher, store, settings, site);
    }

    // The address of a page of the work folder as the view takes it.
    std::string Address(const std::string& name) const { return (dir / name).Bytes(); }

    void AnswerArticle(const std::string& id, const std::string& text) {
        fetcher.answers["http://site.test/ezinepublisher/?id=" + id] = "<html><textarea>" + text + "</textarea>";
    }

    std::string Page(const std::string& name) const { return ReadFile(dir / name); }
    bool PageExists(const std::string& name) const { return Exists(dir / name); }
    std::size_t FeedRequests() const {
        std::size_t count = 0;
        for (const FetchRequest& request : fetcher.requests) count += request.url == kFeedAddress;
        return count;
    }

    ScopedEnvironment environment;
    FakeUi ui;
    FakeFetcher fetcher;
    FakeSettings settings;
    VideoStore store;
    TempDir dir;
    ContentSite site;
    std::unique_ptr<ArticleLibrary> library;
};

TEST_F(ArticleLibraryTest, FirstVisitLoadsTheFeedAndLaterVisitsGoStraightThere) {
    // The view shows the waiting page while the feed comes, then goes to the list.
    EXPECT_EQ(library->ShowArticlesPage(Address("articles.html")),
              LinkOutcome::AllowAndNavigate(Path(Address("articles.html"))));
    EXPECT_EQ(Page("articles.html"), kFetchingArticlesPage);
    EXPECT_TRUE(fetcher.requests.empty());
    ASSERT_TRUE(library->PrepareArticlesPage());
    EXPECT_TRUE(library->ListBuilt());
    ASSERT_EQ(fetcher.requests.size(), 1u);
    EXPECT_EQ(fetcher.requests[0].channel, FetchChannel::Articles);
    EXPECT_EQ(fetcher.requests[0].url, kFeedAddress);
    const std::string page = Page("articles.html");
    EXPECT_TRUE(Contains(page, "<title>Dogs Articles</title>[<div class='articleheader'>The Most Recent <i>Dogs</i>"));
    EXPECT_TRUE(Contains(page, "<div class='articlelink'><a href='ezine_10.html'>First article</a></div><BR>"));

    // Up to date: the link goes through and nothing is fetched or written again.
    std::filesystem::remove((dir / "articles.html").Bytes());
    EXPECT_EQ(library->ShowArticlesPage(Address("articles.html")), LinkOutcome::Allow());
    EXPECT_TRUE(library->PrepareArticlesPage());
    EXPECT_FALSE(PageExists("articles.html"));
    EXPECT_EQ(fetcher.requests.size(), 1u);
}

TEST_F(ArticleLibraryTest, OpeningAnArticleMarksItOpenedOnTheNextList) {
    ASSERT_TRUE(library->PrepareArticlesPage());
    AnswerArticle("10", "Title Ten\r\nText");
    AnswerArticle("20", "Title Twenty\r\nText");

    EXPECT_EQ(library->OpenArticle("10"), LinkOutcome::CancelAndNavigate(Path(Address("currentarticle.html"))));
    EXPECT_EQ(store.ViewedArticleKeys, " 10 ");
    EXPECT_FALSE(library->ListBuilt());
    EXPECT_EQ(library->OpenArticle("20"), LinkOutcome::CancelAndNavigate(Path(Address("currentarticle.html"))));
    EXPECT_EQ(library->OpenArticle("10"), LinkOutcome::CancelAndNavigate(Path(Address("currentarticle.html"))));
    EXPECT_EQ(store.ViewedArticleKeys, " 10 20 ");

    ASSERT_TRUE(library->PrepareArticlesPage());
    const std::string page = Page("articles.html");
    EXPECT_TRUE(Contains(page, "<div class='articlelinkviewed'><a href='ezine_10.html'>"));
    EXPECT_TRUE(Contains(page, "<div class='articlelinkviewed'><a href='ezine_20.html'>"));
    EXPECT_TRUE(Contains(page, "The Most Recent <i>Dogs</i> Articles"));
    EXPECT_EQ(FeedRequests(), 1u) << "the feed is kept for the run";
}

TEST_F(ArticleLibraryTest, ArticlePageShowsTheSafeTextWithItsLinks) {
    const std::string raw =
        "My <Title>\r\nHello <script>x</script> world\r\n\r\n"
        "Article Source: <a href='http://ezine.example/?expert=Ann'>Ann</a>";
    AnswerArticle("10", raw);
    const std::string view =
        "<DIV class='articlefootlinks'><a href='http://ezine.example/?expert=Ann'>View this article on "
        "EzineArticles.com</a></DIV>";

    ASSERT_TRUE(library->BuildCurrentArticlePage("10"));
    EXPECT_EQ(Page("currentarticle.html"),
              "<title>Dogs Articles</title>[My &lt;Title&gt;][" + kBackLink + "]\n"
              "Hello &lt;script>x&lt;/script> world<br>\r\n<br>\r\n"
              "<DIV class='articlefootlinks'><a href='savearticle_10.html'>Save this article</a></DIV><BR><BR>" +
                  view + kFoot);

    store.SavedArticles.push_back({"10", "Saved"});
    ASSERT_TRUE(library->BuildCurrentArticlePage("10"));
    EXPECT_TRUE(Contains(Page("currentarticle.html"),
                         "<a href='unsavearticle_10.html'>Delete this article from the Saved Articles list</a>"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ArticleLibraryTest, AnArticleThatCannotBeFetchedStillGetsItsPage) {
    // No answer: the fetch comes back empty.
    ASSERT_TRUE(library->BuildCurrentArticlePage("30"));
    ASSERT_EQ(ui.Texts(), std::vector<std::string>{"No article page data retrieved from EzineArticles.com"});
    EXPECT_EQ(Page("currentarticle.html"), "<title>Dogs Articles</title>[][" + kBackLink + "]\n" + kFoot);
    EXPECT_EQ(store.ViewedArticleKeys, " 30 ");
}

// The fetch only reports; the library, with the user in front of it, tells its message
// before anything else it has to say.
TEST_F(ArticleLibraryTest, TheFetchersMessageIsToldFirst) {
    const std::string unreachable = "Unable to access EzineArticles.com\n\nError: InternetOpen failed";
    fetcher.failures[kFeedAddress] = unreachable;
    fetcher.failures["http://site.test/ezinepublisher/?id=30"] = unreachable;

    ASSERT_TRUE(library->PrepareArticlesPage());
    EXPECT_TRUE(Contains(Page("articles.html"), "There are no articles in the EzineArticles.com article feed"));
    ASSERT_TRUE(library->BuildCurrentArticlePage("30"));

    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{unreachable, unreachable,
                                                    "No article page data retrieved from EzineArticles.com"}));
    for (const auto& message : ui.messages) EXPECT_EQ(message.icon, Icon::Stop);
}

TEST_F(ArticleLibraryTest, APageThatCannotBeWrittenChangesNothingElse) {
    UseSite(dir / "missing/", "Pets:Dogs.xml");
    AnswerArticle("10", "Title\r\nText");

    // The list counts as built even so: the next try waits for a change.
    EXPECT_FALSE(library->PrepareArticlesPage());
    EXPECT_TRUE(library->ListBuilt());
    EXPECT_EQ(library->OpenArticle("10"), LinkOutcome::Cancel());
    EXPECT_EQ(store.ViewedArticleKeys, "");
    EXPECT_TRUE(library->ListBuilt());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(ui.messages[0].text.starts_with("Failed to write file "));
}

TEST_F(ArticleLibraryTest, AFeedThatDidNotComeIsFetchedAgainOnTheNextBuild) {
    fetcher.answers[kFeedAddress] = "";
    ASSERT_TRUE(library->PrepareArticlesPage());
    EXPECT_TRUE(Contains(Page("articles.html"), "There are no articles in the EzineArticles.com article feed"));

    fetcher.answers[kFeedAddress] = Feed({{"Back Again", "40"}});
    ASSERT_TRUE(library->PrepareArticlesPage());
    EXPECT_EQ(FeedRequests(), 1u) << "not before something changes";
    library->SaveArticle("40");  // any change of what the list shows
    ASSERT_TRUE(library->PrepareArticlesPage());
    EXPECT_EQ(FeedRequests(), 2u);
    EXPECT_TRUE(Contains(Page("articles.html"), "ezine_40.html'>Back again</a>"));
}

TEST_F(ArticleLibraryTest, TheWaitingPageShowsOnlyWhileTheFeedIsFetched) {
    const std::string address = Address("articles.html");
    const LinkOutcome waitThenList = LinkOutcome::AllowAndNavigate(Path(address));
    const LinkOutcome buildThenList = LinkOutcome::CancelAndNavigate(Path(address));

    // A feed that did not come: the next try shows the waiting page, not the old excuse.
    fetcher.answers[kFeedAddress] = "";
    ASSERT_EQ(library->ShowArticlesPage(address), waitThenList);
    ASSERT_TRUE(library->PrepareArticlesPage());
    library->SaveArticle("10");
    EXPECT_EQ(library->ShowArticlesPage(address), waitThenList);
    EXPECT_EQ(Page("articles.html"), kFetchingArticlesPage);

    // With the feed in memory the list is rebuilt at once: the old one stays until then.
    fetcher.answers[kFeedAddress] = Feed({{"First Article", "10"}});
    ASSERT_TRUE(library->PrepareArticlesPage());
    library->SaveArticle("10");
    const std::string list = Page("articles.html");
    EXPECT_EQ(library->ShowArticlesPage(address), buildThenList);
    EXPECT_EQ(Page("articles.html"), list);

    // Without a category there is nothing to wait for.
    UseSite(dir.path(), "");
    EXPECT_EQ(library->ShowArticlesPage(address), buildThenList);
    EXPECT_EQ(Page("articles.html"), list);
}

TEST_F(ArticleLibraryTest, WithoutACategoryNothingIsFetched) {
    UseSite(dir.path(), "");
    ASSERT_TRUE(library->PrepareArticlesPage());
    EXPECT_TRUE(fetcher.requests.empty());
    const std::string page = Page("articles.html");
    EXPECT_TRUE(Contains(page, "The Most Recent <i></i> Articles"));
    EXPECT_TRUE(Contains(page, "There are no articles in the EzineArticles.com article feed"));
}

TEST_F(ArticleLibraryTest, SavingPutsTheArticleFirstAndShowsTheList) {
    ASSERT_TRUE(library->PrepareArticlesPage());
    const LinkOutcome toList = LinkOutcome::CancelAndNavigate(Path(Address("articles.html")));

    EXPECT_EQ(library->SaveArticle("20"), toList);
    EXPECT_EQ(library->SaveArticle("10"), toList);
    EXPECT_EQ(library->SaveArticle("20"), toList);  // again: moves to the top, no second line
    EXPECT_EQ(library->SaveArticle("99"), toList);  // not in the feed: no title
    EXPECT_EQ(store.SavedArticles, (std::vector<SavedArticle>{
                                       {"99", ""}, {"20", "Second Article"}, {"10", "First Article"}}));
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages[0].text, kArticleSavedMessage);
    EXPECT_EQ(ui.messages[0].icon, Icon::Information);

    // The list is written again with the saved section, even if it was up to date.
    EXPECT_FALSE(library->ListBuilt());
    ASSERT_TRUE(library->PrepareArticlesPage());
    const std::string page = Page("articles.html");
    const std::size_t heading = page.find("Your Saved Articles");
    ASSERT_NE(heading, std::string::npos);
    EXPECT_LT(page.find("ezine_20.html'>Second article", heading), page.find("ezine_10.html'>First article", heading));
    EXPECT_FALSE(Contains(page, "ezine_99.html"));
}

TEST_F(ArticleLibraryTest, UnsavingAsksFirst) {
    store.SavedArticles = {{"10", "One"}, {"20", "Two"}, {"30", "Three"}};
    ASSERT_TRUE(library->PrepareArticlesPage());

    ui.answers = {Answer::Cancel};
    EXPECT_EQ(library->UnsaveArticle("20"), LinkOutcome::Cancel());
    EXPECT_EQ(store.SavedArticles.size(), 3u);
    EXPECT_TRUE(library->ListBuilt());

    ui.answers = {Answer::Ok, Answer::Ok};
    EXPECT_EQ(library->UnsaveArticle("20"), LinkOutcome::CancelAndNavigate(Path(Address("articles.html"))));
    EXPECT_EQ(store.SavedArticles, (std::vector<SavedArticle>{{"10", "One"}, {"30", "Three"}}));
    // A key that is not saved still shows the list.
    EXPECT_EQ(library->UnsaveArticle("77"), LinkOutcome::CancelAndNavigate(Path(Address("articles.html"))));
    EXPECT_FALSE(library->ListBuilt());

    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, kArticleUnsaveQuestion);
    EXPECT_EQ(ui.messages[0].icon, Icon::Question);
    EXPECT_EQ(ui.messages[0].buttons, Buttons::OkCancel);
}

TEST_F(ArticleLibraryTest, AFullSavedListRefusesANewArticleAndLosesNothing) {
    for (int n = 0; n < 1000; ++n) store.SavedArticles.push_back({"k" + std::to_string(n), "Title"});
    const std::vector<SavedArticle> before = store.SavedArticles;

    EXPECT_EQ(library->SaveArticle("new"), LinkOutcome::Cancel());
    EXPECT_EQ(store.SavedArticles, before);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kSavedArticlesFullMessage});
    EXPECT_EQ(ui.messages[0].icon, Icon::Stop);

    // One already in the list can still move to the top.
    EXPECT_EQ(library->SaveArticle("k500"), LinkOutcome::CancelAndNavigate(Path(Address("articles.html"))));
    EXPECT_EQ(store.SavedArticles.size(), 1000u);
    EXPECT_EQ(store.SavedArticles.front().key, "k500");
}

TEST_F(ArticleLibraryTest, IdsNoLinkCanCarryAreRefusedQuietly) {
    for (const char* id : {"", "1 2", "x'onclick='y", "caf\xE9"}) {
        EXPECT_EQ(library->OpenArticle(id), LinkOutcome::Cancel()) << id;
        EXPECT_EQ(library->SaveArticle(id), LinkOutcome::Cancel()) << id;
    }
    EXPECT_TRUE(fetcher.requests.empty());
    EXPECT_TRUE(store.SavedArticles.empty());
    EXPECT_EQ(store.ViewedArticleKeys, "");
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace qen::test
