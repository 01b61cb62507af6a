#include <gtest/gtest.h>

#include <random>
#include <string>

#include "LiteralFormatter.h"
#include "articles/ArticleFormatter.h"

namespace qen::test {
namespace {

const std::string kSaveFooter =
    "<DIV class='articlefootlinks'><a href='savearticle_77.html'>Save this article</a></DIV><BR><BR>";
const std::string kUnsaveFooter =
    "<DIV class='articlefootlinks'><a href='unsavearticle_77.html'>Delete this article from the Saved Articles "
    "list</a></DIV><BR><BR>";
const std::string kViewOnSite =
    "<DIV class='articlefootlinks'><a href='http://ezine.example/?expert=Ann'>View this article on "
    "EzineArticles.com</a></DIV>";

TEST(ArticleFormatter, FormatsEachPartOfTheText) {
    struct Case {
        const char* why;
        std::string raw;
        bool saved;
        std::string title;
        std::string body;
    };
    const Case cases[] = {
        // Line breaks.
        {"line feeds alone become \\r\\n", "Title\nFirst line\nSecond line", false, "Title",
         "First line<br><br>\r\nSecond line"},
        {"carriage returns alone too", "Title\rA\rB", false, "Title", "A<br><br>\r\nB"},
        {"as many \\r as \\n: mixed breaks stay", "Title\r\nA\n\rB", false, "Title", "A\n\rB"},
        {"text holding the marker itself gets a break there", "T\nA(DSJZJKSH)B", false, "T", "A<br><br>\r\nB"},
        // Title.
        {"the title line is trimmed, the body starts at its first character",
         "  \r\n\t Title text \t\r\n   Body", false, "Title text", "Body"},
        {"no line break: no title, all of it is body", "Only one line ", false, "", "Only one line"},
        {"empty text", "", false, "", ""},
        // Link attributes and bare addresses.
        {"link attributes go; the address inside the tag stays as it is",
         "T\r\nSee <a href=\"http://x.example/\" rel=nofollow target=\"_new\">the site</a> now", false, "T",
         "See <a href=\"http://x.example/\"  >the site</a> now"},
        {"bare addresses end at a comma, a blank or a tag; https stays plain",
         "T\r\nVisit http://a.example/x, or http://b.example/y<br> and https://c.example", false, "T",
         "Visit <a href=\"http://a.example/x\">http://a.example/x</a>, or "
         "<a href=\"http://b.example/y\">http://b.example/y</a><br> and https://c.example"},
        // Bracketed addresses.
        {"a bracketed address links the rest of its line",
         "T\r\n[http://a.example]Click here\r\nMore text", false, "T",
         "<a href=\"http://a.example\">Click here</a><br><br>\r\nMore text"},
        {"a bracketed note goes", "T\r\nText [a note] here", false, "T", "Text  here"},
        {"too long a link text stays plain", "T\r\n[http://a.example]" + std::string(101, 'z'), false, "T",
         std::string(101, 'z')},
        // Source line.
        {"the source line becomes the save link and the link to the article's site",
         "T\r\nBody\r\n\r\nArticle Source: <a href='http://ezine.example/?expert=Ann'>Ann Writer</a>", false, "T",
         "Body<br>\r\n<br>\r\n" + kSaveFooter + kViewOnSite},
        {"a saved article gets the unsave link",
         "T\r\nBody\r\n\r\nArticle Source: <a href='http://ezine.example/?expert=Ann'>Ann Writer</a>", true, "T",
         "Body<br>\r\n<br>\r\n" + kUnsaveFooter + kViewOnSite},
        {"a source link whose text is its address: the text is linked, the source link kept whole",
         "T\r\nArticle Source: <a href='http://ezine.example/?expert=Ann'>http://ezine.example/?expert=Ann</a>",
         false, "T", kSaveFooter + kViewOnSite + "</a>"},
        {"a source line without its end stays", "T\r\nArticle Source: <a href='x'", false, "T",
         "Article Source: <a href='x'"},
        // Tabs, empty lines and breaks.
        {"tabs become blanks; runs of breaks become one empty line", "T\r\nA\tB\r\n\r\n\r\n\r\nC", false, "T",
         "A B<br><br>\r\n<br><br>\r\nC"},
        {"lines of one or two blanks are empty lines",
         "Title\r\nOne.\r\n \r\nTwo.\r\n  \r\nThree, with enough text to pass thirty.", false, "Title",
         "One.<br>\r\n<br>\r\nTwo.<br>\r\n<br>\r\nThree, with enough text to pass thirty."},
        {"a paragraph break only in the last 30 characters: every line is a paragraph",
         "T\r\nLine one of a long enough text\r\nLine two of the text that goes on and on\r\n\r\nEnd.", false, "T",
         "Line one of a long enough text<br><br>\r\nLine two of the text that goes on and on<br><br>\r\n"
         "<br><br>\r\nEnd."},
        {"breaks at the end are trimmed", "T\r\nBody  \r\n\r\n", false, "T", "Body  <br><br>\r\n<br><br>"},
    };
    for (const Case& c : cases) {
        const FormattedArticle article = FormatArticleHtml(c.raw, "77", c.saved);
        EXPECT_EQ(article.title, c.title) << c.why;
        EXPECT_EQ(article.body, c.body) << c.why;
    }
}

// A body of exactly 2,000 characters: four paragraphs and `lineBreaks` single breaks
// spread over them, the rest letters.
std::string HardWrapped(int lineBreaks) {
    const int lines = lineBreaks + 4;
    const int letters = 2000 - 3 * 4 - lineBreaks * 2;
    std::string body;
    int line = 0;
    for (int paragraph = 0; paragraph < 4; ++paragraph) {
        if (paragraph > 0) body += "\r\n\r\n";
        const int linesHere = lineBreaks / 4 + 1 + (paragraph < lineBreaks % 4 ? 1 : 0);
        for (int k = 0; k < linesHere; ++k, ++line) {
            if (k > 0) body += "\r\n";
            body += std::string(letters / lines + (line < letters % lines ? 1 : 0), 'a' + paragraph);
        }
    }
    return body;
}

TEST(ArticleFormatter, JoinsHardWrappedLinesIntoParagraphs) {
    struct Case {
        int lineBreaks;
        bool joined;
    };
    for (const Case c : {Case{20, true}, Case{19, false}, Case{60, true}}) {
        const std::string body = HardWrapped(c.lineBreaks);
        ASSERT_EQ(body.size(), 2000u);
        const std::string html = FormatArticleHtml("Title\r\n" + body, "1", false).body;

        std::size_t breaks = 0;
        for (std::size_t at = html.find("<br>"); at != std::string::npos; at = html.find("<br>", at + 1)) ++breaks;
        // A paragraph break is two <br>; a kept line break one more.
        EXPECT_EQ(breaks, c.joined ? 6u : 6u + c.lineBreaks) << c.lineBreaks;
        if (c.joined) {
            EXPECT_NE(html.find("aaa aaa"), std::string::npos) << "lines are joined by a blank";
        }
    }
}

TEST(ArticleFormatter, LinksBareAddressesOutsideTagsOnly) {
    struct Case {
        const char* why;
        std::string text;
        std::string linked;
    };
    const Case cases[] = {
        {"inside a tag", "<a href='http://a.example'>x</a>", "<a href='http://a.example'>x</a>"},
        {"after a tag", "<b>http://a.example</b>", "<b><a href=\"http://a.example\">http://a.example</a></b>"},
        {"behind a bracket", "[http://a.example]x", "[http://a.example]x"},
        {"a stray < before an address counts as a tag", "1 < 2 http://a", "1 < 2 http://a"},
        {"a byte from 0x80 up ends an address", "http://caf\xE9.example",
         "<a href=\"http://caf\">http://caf</a>\xE9.example"},
        {"an address alone", "http://", "<a href=\"http://\">http://</a>"},
        {"addresses back to back with a blank", "http://a http://b",
         "<a href=\"http://a\">http://a</a> <a href=\"http://b\">http://b</a>"},
    };
    for (const Case& c : cases) EXPECT_EQ(LinkBareAddresses(c.text), c.linked) << c.why;
}

TEST(ArticleFormatter, AgreesWithTheStepsAsDefined) {
    // The characters each step looks for, so that random texts reach every branch.
    const std::string pieces[] = {
        "\r", "\n", "\r\n", "\r\n\r\n", "\r\n \r\n", "\r\n  \r\n", " ", "\t", "x", "Word", ",", "<", ">",
        "[", "]", "http://", "https://", "[http://a]", "Article Source: <a", "</a>", " href='http://s'>",
        "rel=nofollow", "target=\"_new\"", "(DSJZJKSH)", "(DSJ", "\xE9", std::string(45, 'w'),
    };
    std::mt19937 random(77);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 50);
    for (int round = 0; round < 20000; ++round) {
        std::string raw;
        for (int n = length(random); n > 0; --n) raw += pieces[piece(random)];
        const bool saved = round % 2 == 1;
        ASSERT_EQ(FormatArticleHtml(raw, "77", saved), FormatArticleHtmlLiterally(raw, "77", saved)) << raw;
    }
}

}  // namespace
}  // namespace qen::test
