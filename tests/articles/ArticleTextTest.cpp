#include <gtest/gtest.h>

#include "articles/ArticleText.h"
#include "fakes/FakeFetcher.h"
#include "fakes/FakeUi.h"

namespace qen::test {
namespace {

TEST(ArticleText, CutsTheTextOutOfTheTextarea) {
    struct Case {
        const char* why;
        std::string page;
        ArticlePageFault fault;
        std::string text;
    };
    const Case cases[] = {
        {"text between the tags, trimmed, entities as they stand",
         "<html><textarea rows=20 cols=80>\r\n Title\r\nBody &amp; more \r\n</textarea></html>",
         ArticlePageFault::None, "Title\r\nBody &amp; more"},
        {"the first textarea counts", "<textarea>one</textarea><textarea>two</textarea>", ArticlePageFault::None,
         "one"},
        {"an empty textarea gives empty text without a fault", "<textarea></textarea>", ArticlePageFault::None, ""},
        {"nothing retrieved", "", ArticlePageFault::Empty, ""},
        {"no textarea", "<html><body>Not found</body></html>", ArticlePageFault::NoTextarea, ""},
        {"a textarea tag that never closes", "<html><textarea rows=", ArticlePageFault::NoTextarea, ""},
        {"upper case is another tag", "<TEXTAREA>x</TEXTAREA>", ArticlePageFault::NoTextarea, ""},
        {"no closing tag", "<textarea>text to the end", ArticlePageFault::NoClosingTextarea, ""},
    };
    for (const Case& c : cases) {
        const ArticlePageText extracted = ExtractArticleText(c.page);
        EXPECT_EQ(extracted.fault, c.fault) << c.why;
        EXPECT_EQ(extracted.text, c.text) << c.why;
    }
}

TEST(ArticleText, FetchShowsWhatWentWrong) {
    struct Case {
        std::string page;
        std::string message;  // empty: none
        std::string text;
    };
    const Case cases[] = {
        {"<textarea>Title\r\nText</textarea>", "", "Title\r\nText"},
        {"", "No article page data retrieved from EzineArticles.com", ""},
        {"<p>moved</p>", "Article page does not contain <textarea> tag", ""},
        {"<textarea>cut off", "Article page does not contain closing </textarea> tag", ""},
    };
    for (const Case& c : cases) {
        FakeUi ui;
        FakeFetcher fetcher;
        fetcher.answers["http://site.example:81/ezinepublisher/?id=42"] = c.page;
        EXPECT_EQ(FetchArticleText(ui, fetcher, "site.example:81", "42"), c.text) << c.message;
        ASSERT_EQ(fetcher.requests.size(), 1u);
        EXPECT_EQ(fetcher.requests[0].channel, FetchChannel::Articles);
        if (c.message.empty()) {
            EXPECT_TRUE(ui.messages.empty());
        } else {
            ASSERT_EQ(ui.messages.size(), 1u) << c.message;
            EXPECT_EQ(ui.messages[0].text, c.message);
            EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
            EXPECT_EQ(ui.messages[0].buttons, Buttons::Ok);
        }
    }
}

}  // namespace
}  // namespace qen::test
