#include <gtest/gtest.h>

#include "SafeMarkupCheck.h"
#include "articles/ArticlePages.h"
#include "fakes/FilledPageCheck.h"
#include "package/ContentSite.h"

namespace qen::test {
namespace {

// Every placeholder in view, so a page's text shows which value went where.
constexpr const char* kTemplate =
    "<title>%%pagetitle%%</title>[%%toplefttext%%][%%toprighttext%%][%%previousnext%%]\n%%videoposts%%";

ContentSite Site(const std::string& category) {
    ContentSite site;
    site.WorkFolder = Path("/work/");
    site.PageTemplate = kTemplate;
    site.Niche = "Dogs";
    site.ArticleCategory = category;
    return site;
}

std::string Line(const std::string& linkClass, const std::string& id, const std::string& title) {
    return "<div class='" + linkClass + "'><a href='ezine_" + id + ".html'>" + title + "</a></div><BR>";
}

const std::string kSavedHeading =
    "<BR><BR><BR><BR><BR><div class='articleheader'>Your Saved Articles</B></div><BR><BR>";
const std::string kEmptyList =
    "<font color=#b00000><b>There are no articles in the EzineArticles.com article feed<br><br><br>There may be a "
    "problem accessing the EzineArticles site<br><br><br>Please try again later<br><br></b></font>";

TEST(ArticlePages, ListsTheFeedThenTheSavedArticles) {
    const std::vector<ArticleEntry> feed = {
        {"DOG TRAINING BASICS", "101"},
        {"puppy &amp; Kitten <care>", "102"},  // opened before; markup shows as text
        {"X", "103"},                          // one character: not listed
        {"Bad id", "1 2"},                     // no link can carry it: not listed
        {"Caf\xC9 Owners", "105"},
    };
    UserData data;
    data.ViewedArticleKeys = " 102 999 ";
    data.SavedArticles = {{"201", "Saved Newest"}, {"102", "old title"}, {"202", ""}};

    EXPECT_EQ(ArticlesPageText(feed, data, Site("Home-and-Family:Dog-Training.xml")),
              "<title>Dogs Articles</title>[<div class='articleheader'>The Most Recent <i>Dog Training</i> "
              "Articles</div>][][]\n" +
                  Line("articlelink", "101", "Dog training basics") +
                  Line("articlelinkviewed", "102", "Puppy &amp; kitten &lt;care&gt;") +
                  Line("articlelink", "105", "Caf\xE9 owners") + kSavedHeading +
                  Line("articlelink", "201", "Saved newest") +
                  // Saved lines never use the opened form.
                  Line("articlelink", "102", "Old title"));
}

TEST(ArticlePages, AnEmptyFeedShowsWhyAndStillTheSavedArticles) {
    UserData data;
    EXPECT_EQ(ArticlesPageText({}, data, Site("")),
              "<title>Dogs Articles</title>[<div class='articleheader'>The Most Recent <i></i> Articles</div>][][]\n" +
                  kEmptyList);

    // Entries that are all left out count as none; an untitled saved article keeps the heading.
    data.SavedArticles = {{"7", ""}};
    EXPECT_EQ(ArticlesPageText({{"A", "1"}}, data, Site("Dogs.xml")),
              "<title>Dogs Articles</title>[<div class='articleheader'>The Most Recent <i>Dogs</i> "
              "Articles</div>][][]\n" +
                  kEmptyList + kSavedHeading);
}

TEST(ArticlePages, HeadingComesFromTheCategoryPath) {
    const std::pair<const char*, const char*> cases[] = {
        {"Aaa-Bbb:Ccc-Ddd.xml", "Ccc Ddd"},
        {"Health-and-Fitness.xml", "Health and Fitness"},
        {"Pets:Dogs:Big.xml", "Dogs:Big"},     // only the first ":" counts
        {"Pets:Dogs.XML", "Dogs.XML"},         // ".xml" only in small letters
        {"Pets:Dogs.xml.xml", "Dogs.xml"},
        {"", ""},
    };
    for (const auto& [path, heading] : cases) EXPECT_EQ(CategoryHeading(path), heading) << path;
}

TEST(ArticlePages, TitlesShowInSmallLettersWithACapitalFirst) {
    const std::pair<std::string, std::string> cases[] = {
        {"HELLO WORLD", "Hello world"},
        {"hello", "Hello"},
        {"\xC9" "COLE FRAN\xC7" "AISE", "\xC9" "cole fran\xE7" "aise"},
        {"\xE9t\xE9", "\xC9t\xE9"},
        {"123 ABC", "123 abc"},
        {"A \xD7 B", "A \xD7 b"},  // the multiplication sign is no letter
        {"", ""},
    };
    for (const auto& [title, shown] : cases) EXPECT_EQ(ArticleDisplayTitle(title), shown) << title;
}

TEST(ArticlePages, ATitleWrappedInCdataShowsTheTextInside) {
    const std::pair<std::string, std::string> cases[] = {
        {"<![CDATA[Q&A: <Sit> & Stay]]>", "Q&A: <Sit> & Stay"},
        {"<![CDATA[\n  Padded  \n]]>", "Padded"},
        {"<![CDATA[]]>", ""},
        {"<![CDATA[Half open", "<![CDATA[Half open"},   // not one whole section: shown as it came
        {"Before <![CDATA[x]]>", "Before <![CDATA[x]]>"},
        {"<![cdata[small]]>", "<![cdata[small]]>"},
        {"Plain", "Plain"},
    };
    for (const auto& [title, text] : cases) EXPECT_EQ(ArticleTitleText(title), text) << title;

    const std::vector<ArticleEntry> feed = {
        {"<![CDATA[DOGS & <CATS>]]>", "1"},
        {"<![CDATA[X]]>", "2"},  // one letter inside: the title as the feed gave it is longer
        {"Y", "3"},              // one character: not listed
    };
    UserData data;
    data.SavedArticles = {{"1", "<![CDATA[DOGS & <CATS>]]>"}};
    const std::string page = ArticlesPageText(feed, data, Site("Dogs.xml"));
    EXPECT_EQ(page.substr(page.find('\n') + 1),
              Line("articlelink", "1", "Dogs & &lt;cats&gt;") + Line("articlelink", "2", "X") + kSavedHeading +
                  Line("articlelink", "1", "Dogs & &lt;cats&gt;"));
}

TEST(ArticlePages, UsableIdsCanStandInALink) {
    for (const char* id : {"1", "12345", "Dog-Training_12345", "wipeplaylist"})
        EXPECT_TRUE(IsUsableArticleId(id)) << id;
    // An escape or a separator could make a new path element of the link once the view
    // decodes it ("ezine_%2Fplaylist_X.html").
    for (const char* id : {"", "1 2", "a'b", "a\"b", "a<b", "a>b", "a\\b", "tab\t", "caf\xE9", "\x7F",
                           "%2Fplaylist_X", "1/playlist_X", "?Dog-Training&id=12345", "a.b", "a~e", "..", "a%20b"})
        EXPECT_FALSE(IsUsableArticleId(id)) << id;
}

TEST(ArticlePages, CurrentArticleGetsItsTitleTheBackLinkAndTheFoot) {
    EXPECT_EQ(CurrentArticlePageText("Body <b>text</b>", "Cats & <Dogs>", Site("Dogs.xml")),
              "<title>Dogs Articles</title>[Cats & &lt;Dogs&gt;][<a href='goback.html'>Go back to article list</a>][]\n"
              "Body <b>text</b><BR><BR><DIV class='articlefootlinks'><a href='goback.html'>Go back to article "
              "list</a></DIV>");
}

}  // namespace
}  // namespace qen::test

namespace qen::test {
namespace {

// The article list's own links open an article by its id; everything else is the
// sanitised markup's.
std::string FindForeignListMarkup(const GumboElement& element) {
    const GumboAttribute* href = gumbo_get_attribute(&element.attributes, "href");
    if (element.tag == GUMBO_TAG_A && href && element.attributes.length == 1) {
        const std::string value = href->value;
        if (value.rfind("ezine_", 0) == 0 && value.ends_with(".html") &&
            IsUsableArticleId(value.substr(6, value.size() - 11)))
            return {};
    }
    if (element.tag == GUMBO_TAG_FONT) return {};
    return FindUnsafeElement(element, "77");
}

// Titles and ids come from a stranger's feed and the article from a stranger's page: the
// written pages keep the template's markup, and nothing in them can run or act.
TEST(ArticlePages, HostileTitlesAndArticlesStayText) {
    const char* titles[] = {
        "%%toplefttext%% %%previousnext%% %%pagetitle%%",
        "Hi' tabindex='1' autofocus onfocus='alert(1)' x='",
        "\" onmouseover=\"alert(1)",
        "<script>alert(1)</script>",
        "</div><div id='left'>",
    };
    ContentSite site;
    site.PageTemplate = kCheckTemplate;
    site.Niche = "Dogs";
    for (const char* title : titles) {
        const std::vector<ArticleEntry> feed = {{title, "101"}, {title, "102%2Fplaylist_X"}, {title, "1/../x"}};
        UserData data;
        data.SavedArticles = {{"103", title}};
        const std::string list = ArticlesPageText(feed, data, site);
        EXPECT_EQ(FindFillingFault(list, FindForeignListMarkup), "") << title << "\n" << list;
        EXPECT_EQ(list.find("playlist_X"), std::string::npos) << title;
        EXPECT_EQ(list.find("../x"), std::string::npos) << title;

        const std::string body = "<a title='%%toplefttext%%' href='http://x.test/'>x</a>%%toprighttext%%";
        const std::string article = CurrentArticlePageText(body, title, site);
        EXPECT_EQ(FindFillingFault(article, [](const GumboElement& e) { return FindUnsafeElement(e, "77"); }), "")
            << title << "\n" << article;
        EXPECT_NE(article.find(body), std::string::npos) << title;  // untouched, its placeholders too
    }
}

}  // namespace
}  // namespace qen::test
