#include "feedsim/Service.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "fakes/TempDir.h"

namespace qen::feedsim {
namespace {

using test::TempDir;
using test::WriteFile;

constexpr const char* kHost = "127.0.0.1:8765";

Request Get(const std::string& path, Params params = {}) {
    Request request;
    request.path = path;
    request.params = std::move(params);
    request.host = kHost;
    return request;
}

Params Keyword(const std::string& term, const std::string& start, const std::string& order = "viewCount") {
    Params params{{"q", term}, {"start-index", start}, {"max-results", "50"}, {"v", "2"}, {"format", "5"}};
    if (!order.empty()) params.emplace("orderby", order);
    return params;
}

int Count(const std::string& text, const std::string& what) {
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
    return count;
}

// Content of the next element `tag` at or after `from` (attributes allowed), as the
// runtime's scanners read it.
std::string Element(const std::string& text, const std::string& tag, std::size_t& from) {
    std::size_t open = text.find("<" + tag, from);
    while (open != std::string::npos && text[open + tag.size() + 1] != '>' && text[open + tag.size() + 1] != ' ')
        open = text.find("<" + tag, open + 1);
    if (open == std::string::npos) return {};
    const std::size_t start = text.find('>', open) + 1;
    const std::size_t close = text.find("</" + tag + ">", start);
    if (close == std::string::npos) return {};
    from = close + tag.size() + 3;
    return text.substr(start, close - start);
}

TEST(FeedSimService, AnswersEveryQueryFormOfTheRuntime) {
    struct Case {
        const char* name;
        Request request;
        int status;
        std::string contentType;
        std::string mustHold;
    };
    const Case cases[] = {
        {"keyword feed by views", Get("/feeds/api/videos", Keyword("dog-training", "1")), 200,
         "application/atom+xml; charset=UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"},
        {"keyword feed by date", Get("/feeds/api/videos", Keyword("dog-training", "951", "published")), 200,
         "application/atom+xml; charset=UTF-8", "<yt:videoid>"},
        {"keyword feed in no order", Get("/feeds/api/videos", Keyword("dog-training", "51", "")), 200,
         "application/atom+xml; charset=UTF-8", "<yt:videoid>"},
        {"related videos", Get("/feeds/api/videos/AbCdEfGhIjK/related"), 200, "application/atom+xml; charset=UTF-8",
         "<entry><id>http://127.0.0.1:8765/feeds/api/videos/"},
        {"thumbnail", Get("/vi/AbCdEfGhIjK/0.jpg"), 200, "image/png", "IHDR"},
        {"article category", Get("/category/Pets:Dog-Training.xml"), 200, "application/rss+xml; charset=UTF-8",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"},
        {"publisher page", Get("/ezinepublisher/", {{"id", "6123456"}}), 200, "text/html; charset=windows-1252",
         "<textarea"},
        {"where the source line leads", Get("/", {{"id", "6123456"}}), 200, "text/html; charset=UTF-8", "<pre"},
        {"index", Get("/"), 200, "text/html; charset=UTF-8", "/fault/hang/"},
        {"update file without a folder", Get("/qenruntime/version.txt"), 404, "text/html; charset=UTF-8", "Not Found"},
        {"old keyword version", Get("/feeds/api/videos", {{"q", "a"}, {"start-index", "1"}, {"max-results", "50"},
                                                           {"v", "1"}, {"format", "5"}}),
         400, "text/html; charset=UTF-8", "v=2"},
        {"more than 50 results", Get("/feeds/api/videos", {{"q", "a"}, {"start-index", "1"}, {"max-results", "51"},
                                                            {"v", "2"}, {"format", "5"}}),
         400, "text/html; charset=UTF-8", "max-results"},
        {"start index 0", Get("/feeds/api/videos", Keyword("a", "0")), 400, "text/html; charset=UTF-8", "start-index"},
        {"unknown order", Get("/feeds/api/videos", Keyword("a", "1", "rating")), 400, "text/html; charset=UTF-8",
         "orderby"},
        {"no term", Get("/feeds/api/videos", Keyword("", "1")), 400, "text/html; charset=UTF-8", "q"},
        {"related of a bad id", Get("/feeds/api/videos/a<b/related"), 400, "text/html; charset=UTF-8", "a&lt;b"},
        {"publisher page without id", Get("/ezinepublisher/"), 400, "text/html; charset=UTF-8", "article id"},
        {"thumbnail of a bad path", Get("/vi/x/y/0.jpg"), 404, "text/html; charset=UTF-8", "Not Found"},
    };
    Service service;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Answer answer = service.Respond(c.request);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(answer.contentType, c.contentType);
        EXPECT_NE(answer.body.find(c.mustHold), std::string::npos) << answer.body.substr(0, 400);
        // Error answers are no feed documents, so the runtime treats them as such.
        if (c.status != 200) {
            EXPECT_EQ(answer.body.find("<?xml"), std::string::npos);
        }
    }
}

TEST(FeedSimService, KeywordCatalogueIsFiniteAndTheSameEveryTime) {
    Service service;
    auto feed = [&](const std::string& term, const std::string& start, const std::string& order = "viewCount") {
        return service.Respond(Get("/feeds/api/videos", Keyword(term, start, order))).body;
    };
    struct Case {
        const char* name;
        std::string term, start;
        int entries;
    };
    const Case cases[] = {
        {"first batch", "dog-training", "1", 50},
        {"last batch of a thousand", "dog-training", "951", 50},
        {"past the catalogue", "dog-training", "1001", 0},
        {"a term naming its size", "puppies-120", "101", 20},
        {"past that size", "puppies-120", "151", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string body = feed(c.term, c.start);
        EXPECT_TRUE(body.starts_with("<?xml"));
        EXPECT_EQ(Count(body, "<entry"), c.entries);
        EXPECT_EQ(Count(body, "<yt:videoid>"), c.entries);
    }

    // Ids are 11 characters, unique across the whole catalogue, and stable.
    std::set<std::string> ids;
    for (int start = 1; start <= 951; start += 50) {
        const std::string body = feed("dog-training", std::to_string(start));
        std::size_t at = 0;
        for (std::string id = Element(body, "yt:videoid", at); !id.empty(); id = Element(body, "yt:videoid", at)) {
            EXPECT_EQ(id.size(), 11u);
            ids.insert(id);
        }
    }
    EXPECT_EQ(ids.size(), 1000u);
    EXPECT_EQ(feed("dog-training", "1"), feed("dog-training", "1"));
    EXPECT_NE(feed("dog-training", "1"), feed("dog-training", "1", "published"));
    EXPECT_NE(feed("dog-training", "1"), feed("cat-care", "1"));
}

TEST(FeedSimService, VideoTitlesCarryReferencesAndLettersBeyondAscii) {
    Service service;
    const std::string body = service.Respond(Get("/feeds/api/videos", Keyword("dog-training", "1"))).body;
    std::size_t at = 0;
    std::string titles;
    for (std::string entry = Element(body, "entry", at); !entry.empty(); entry = Element(body, "entry", at)) {
        std::size_t from = 0;
        const std::string title = Element(entry, "title", from);
        EXPECT_GT(title.size(), 5u);
        titles += title + "\n";
    }
    EXPECT_NE(titles.find("&amp;"), std::string::npos);
    EXPECT_NE(titles.find("\xC3\x9C"), std::string::npos);          // two-byte UTF-8
    EXPECT_NE(titles.find("\xE2\x80\x94"), std::string::npos);      // three bytes
    EXPECT_NE(titles.find("\xF0\x9F\x90\xBE"), std::string::npos);  // four bytes
    EXPECT_NE(titles.find("Compilation"), std::string::npos);       // a word niches exclude
}

TEST(FeedSimService, RelatedVideosNameTheirHostAndIncludeTheVideoItself) {
    Service service;
    const std::string body = service.Respond(Get("/feeds/api/videos/AbCdEfGhIjK/related")).body;
    std::size_t at = body.find("<entry");
    std::set<std::string> ids;
    for (std::string entry = Element(body, "entry", at); !entry.empty(); entry = Element(body, "entry", at)) {
        std::size_t from = 0;
        const std::string ref = Element(entry, "id", from);
        ASSERT_TRUE(ref.starts_with("http://127.0.0.1:8765/feeds/api/videos/")) << ref;
        ids.insert(ref.substr(ref.rfind('/') + 1));
    }
    EXPECT_EQ(ids.size(), 25u);
    EXPECT_EQ(ids.count("AbCdEfGhIjK"), 1u);

    const std::string none = service.Respond(Get("/feeds/api/videos/none-at-all/related")).body;
    EXPECT_TRUE(none.starts_with("<?xml"));
    EXPECT_EQ(Count(none, "<entry"), 0);
}

TEST(FeedSimService, CategoryFeedListsItsArticlesAndTheirPagesKeepTheTitles) {
    Service service;
    const std::string feed = service.Respond(Get("/category/Pets:Dog-Training.xml")).body;
    EXPECT_LT(feed.find("<title>EzineArticles.com - Dog Training Articles</title>"), feed.find("<item>"));
    EXPECT_EQ(Count(feed, "<item>"), 150);
    EXPECT_NE(feed.find("<title><![CDATA["), std::string::npos);
    EXPECT_NE(feed.find("<title>\n"), std::string::npos);  // a title to be trimmed

    std::size_t at = feed.find("<item>");
    std::set<std::string> ids;
    std::string firstId, firstTitle;
    for (std::string item = Element(feed, "item", at); !item.empty(); item = Element(feed, "item", at)) {
        std::size_t from = 0;
        const std::string title = Element(item, "title", from);
        from = 0;
        const std::string link = Element(item, "link", from);
        ASSERT_TRUE(link.starts_with("http://127.0.0.1:8765/")) << link;
        const std::string id = link.substr(link.rfind('/') + 1);
        EXPECT_EQ(id.size(), 7u);
        ids.insert(id);
        if (firstId.empty()) firstId = id, firstTitle = title;
    }
    EXPECT_EQ(ids.size(), 150u);

    // The publisher page of a listed article starts its text with the listed title.
    const std::string page = service.Respond(Get("/ezinepublisher/", {{"id", firstId}})).body;
    const std::size_t textStart = page.find('>', page.find("<textarea")) + 1;
    EXPECT_EQ(page.substr(textStart, firstTitle.size()), firstTitle);
}

TEST(FeedSimService, ArticleTextsComeInTheShapesAuthorsPasteThem) {
    Service service;
    bool unixBreaks = false, hardWrapped = false, singleBreaks = false;
    for (int n = 0; n < 40; ++n) {
        const std::string id = std::to_string(6'000'000 + n);
        const std::string page = service.Respond(Get("/ezinepublisher/", {{"id", id}})).body;
        const std::size_t start = page.find('>', page.find("<textarea")) + 1;
        const std::size_t end = page.find("</textarea", start);
        ASSERT_NE(end, std::string::npos);
        const std::string text = page.substr(start, end - start);

        EXPECT_NE(text.find("Article Source: http://127.0.0.1:8765/?id=" + id), std::string::npos);
        EXPECT_NE(text.find("[http://www.example.com/guide]Download the free"), std::string::npos);
        EXPECT_NE(text.find("[https://www.example.org/basics]"), std::string::npos);
        EXPECT_NE(text.find("[Editor's note:"), std::string::npos);
        EXPECT_NE(text.find("http://www.example.com/forum,"), std::string::npos);
        EXPECT_NE(text.find("\x93small steps\x94"), std::string::npos);  // Windows-1252 quotes

        if (text.find('\r') == std::string::npos) unixBreaks = true;
        if (text.find("\r\n\r\n") == std::string::npos) singleBreaks = true;
        std::size_t longest = 0, lineStart = 0;
        for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', lineStart)) {
            longest = std::max(longest, at - lineStart);
            lineStart = at + 1;
        }
        if (longest <= 70) hardWrapped = true;
    }
    EXPECT_TRUE(unixBreaks);
    EXPECT_TRUE(hardWrapped);
    EXPECT_TRUE(singleBreaks);
}

TEST(FeedSimService, ServesTheFilesOfItsFolderAndNothingOutside) {
    TempDir outside;
    WriteFile(outside / "secret.txt", "TOP-SECRET-CONTENT");
    TempDir folder;
    test::MakeFolders(folder / "qenruntime");
    WriteFile(folder / "qenruntime/version.txt", "2\r\n");
    WriteFile(folder / "QenRuntime", std::string("\x7F" "ELF\0bin", 8));
    std::filesystem::create_symlink((outside / "secret.txt").Bytes(), (folder / "link.txt").Bytes());

    Service service(folder.path());
    struct Case {
        const char* name;
        std::string path;
        int status;
        std::string body;
    };
    const Case cases[] = {
        {"version file", "/qenruntime/version.txt", 200, "2\r\n"},
        {"program file with zero bytes", "/QenRuntime", 200, std::string("\x7F" "ELF\0bin", 8)},
        {"missing file", "/QenRuntimeAutoReplaceTool", 404, ""},
        {"a folder", "/qenruntime", 404, ""},
        {"climbing out", "/../" + outside.path().WithoutTrailingSlash().Name() +
                             "/secret.txt", 404, ""},
        {"climbing out inside the path", "/qenruntime/../../secret.txt", 404, ""},
        {"a link leading out", "/link.txt", 404, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Answer answer = service.Respond(Get(c.path));
        EXPECT_EQ(answer.status, c.status);
        if (c.status == 200) {
            EXPECT_EQ(answer.body, c.body);
        } else {
            EXPECT_NE(answer.body.find("404"), std::string::npos);
            EXPECT_NE(answer.body.find("Not Found"), std::string::npos);
            EXPECT_EQ(answer.body.find("TOP-SECRET"), std::string::npos);
        }
    }
}

TEST(FeedSimService, AFaultIsChosenByPathPrefixByTermOrForTheRun) {
    struct Case {
        const char* name;
        Request request;
        Fault forRun;
        std::optional<Fault> chosen;
        std::string pathAfter;
    };
    const Case cases[] = {
        {"path prefix", Get("/fault/hang/category/Pets:Dogs.xml"), Fault::None, Fault::Hang, "/category/Pets:Dogs.xml"},
        {"prefix wins over the run", Get("/fault/none/qenruntime/version.txt"), Fault::Quota, Fault::None,
         "/qenruntime/version.txt"},
        {"prefix alone", Get("/fault/empty"), Fault::None, Fault::Empty, "/"},
        {"unknown mode", Get("/fault/slow/x"), Fault::None, std::nullopt, "/x"},
        {"keyword term", Get("/feeds/api/videos", Keyword("fault-quota", "1")), Fault::None, Fault::Quota,
         "/feeds/api/videos"},
        {"unknown term mode", Get("/feeds/api/videos", Keyword("fault-slow", "1")), Fault::None, std::nullopt,
         "/feeds/api/videos"},
        {"the run's fault", Get("/vi/AbCdEfGhIjK/0.jpg"), Fault::Truncate, Fault::Truncate, "/vi/AbCdEfGhIjK/0.jpg"},
        {"nothing", Get("/vi/AbCdEfGhIjK/0.jpg"), Fault::None, Fault::None, "/vi/AbCdEfGhIjK/0.jpg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Request request = c.request;
        EXPECT_EQ(Service::ChooseFault(request, c.forRun), c.chosen);
        EXPECT_EQ(request.path, c.pathAfter);
    }

    const Answer quota = *Service::ReplacementFor(Fault::Quota, Get("/"));
    EXPECT_EQ(quota.status, 403);
    for (const char* marker : {"<?xml", "<code>too_many_recent_calls</code>", "<domain>yt:quota</domain>", "<error>"})
        EXPECT_NE(quota.body.find(marker), std::string::npos) << marker;
    EXPECT_EQ(Service::ReplacementFor(Fault::Huge, Get("/"))->body.size(), 5'000'000u);
    EXPECT_TRUE(Service::ReplacementFor(Fault::Huge, Get("/"))->body.starts_with("<?xml"));
    EXPECT_EQ(Service::ReplacementFor(Fault::Empty, Get("/"))->body, "");
    EXPECT_EQ(Service::ReplacementFor(Fault::HtmlError, Get("/"))->body.find("<?xml"), std::string::npos);
    EXPECT_FALSE(Service::ReplacementFor(Fault::Drip, Get("/")));
}

}  // namespace
}  // namespace qen::feedsim
