#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "SafeMarkupCheck.h"
#include "articles/ArticleFormatter.h"
#include "articles/ArticleLinks.h"
#include "articles/ArticleSanitiser.h"

namespace qen::test {
namespace {

TEST(ArticleSanitiser, KeepsAllowedMarkupAndWritesTheRestAsText) {
    struct Case {
        const char* why;
        std::string html;
        std::string safe;
    };
    const Case cases[] = {
        // Kept as it stands.
        {"simple formatting", "<p><b>bold</b>, <i>i</i>, <u>u</u>, <em>e</em>, <strong>s</strong>, x<sub>2</sub>"
                              "<sup>3</sup></p><br><BR/>",
         "<p><b>bold</b>, <i>i</i>, <u>u</u>, <em>e</em>, <strong>s</strong>, x<sub>2</sub><sup>3</sup></p><br><BR/>"},
        {"web links, any spelling of the tag", "<a href=\"http://a.example/\">a</a> <A HREF='HTTPS://B'>b</A>",
         "<a href=\"http://a.example/\">a</a> <A HREF='HTTPS://B'>b</A>"},
        {"the page's own links", "<a href='savearticle_77.html'>s</a><a href='unsavearticle_77.html'>u</a>"
                                 "<a href='goback.html'>g</a>",
         "<a href='savearticle_77.html'>s</a><a href='unsavearticle_77.html'>u</a><a href='goback.html'>g</a>"},
        {"> inside a quoted value, odd spacing and line breaks",
         "<a title=\"1 > 0\"\r\n   href=http://a.example  >x</a >",
         "<a title=\"1 > 0\"\r\n   href=http://a.example  >x</a >"},
        {"footer boxes", "<DIV class='articlefootlinks' align=center>f</DIV>",
         "<DIV class='articlefootlinks' align=center>f</DIV>"},
        {"text, references and a lone > stay", "1 &lt; 2 &amp; 3 > 2 &#8364;", "1 &lt; 2 &amp; 3 > 2 &#8364;"},
        {"a repeated attribute counts only the first time, as in the browser",
         "<a href=\"http://a\" href=\"javascript:x()\">x</a>", "<a href=\"http://a\" href=\"javascript:x()\">x</a>"},
        // Written as text.
        {"script", "<script>alert(1)</script>", "&lt;script>alert(1)&lt;/script>"},
        {"elements outside the list",
         "<img src=x onerror=alert(1)><iframe src=http://e></iframe><object data=x><style>*{}</style><svg onload=f>",
         "&lt;img src=x onerror=alert(1)>&lt;iframe src=http://e>&lt;/iframe>&lt;object data=x>&lt;style>*{}&lt;/style>"
         "&lt;svg onload=f>"},
        {"comments and declarations", "<!-- <a href='http://x'> --><!DOCTYPE html><?php x ?>",
         "&lt;!-- <a href='http://x'> -->&lt;!DOCTYPE html>&lt;?php x ?>"},
        {"a tag the text ends inside", "see <a href=\"http://a", "see &lt;a href=\"http://a"},
        {"a name that only begins like an allowed one", "<bdo><b<script>", "&lt;bdo>&lt;b&lt;script>"},
        {"an end tag with more in it", "</a foo></div\n>", "&lt;/a foo></div\n>"},
        {"too many attributes",
         "<a a1 a2 a3 a4 a5 a6 a7 a8 a9 a10 a11 a12 a13 a14 a15 a16 a17>",
         "&lt;a a1 a2 a3 a4 a5 a6 a7 a8 a9 a10 a11 a12 a13 a14 a15 a16 a17>"},
        // Written again without the refused attributes.
        {"script addresses", "<a href=\"javascript:alert(1)\">x</a><a href=' JavaScript:f()'>y</a>",
         "<a>x</a><a>y</a>"},
        {"an address hidden behind references", "<a href=\"&#106;avascript:alert(1)\">x</a>", "<a>x</a>"},
        {"other addresses", "<a href='file:///etc/passwd'>f</a><a href='//evil.example/'>p</a>"
                            "<a href='delete_abc.html'>d</a><a href='savearticle_78.html'>o</a>",
         "<a>f</a><a>p</a><a>d</a><a>o</a>"},
        {"event and style attributes", "<a href=\"http://ok\" onclick=\"evil()\">x</a><div class=c style='x'>y</div>",
         "<a href=\"http://ok\">x</a><div class=c>y</div>"},
        {"an attribute run into a quoted value", "<a href=\"http://x\"onmouseover=\"alert(1)\">x</a>",
         "<a href=\"http://x\">x</a>"},
        {"a slash before the attribute", "<a/href=\"javascript:x\">x</a>", "<a>x</a>"},
        {"attributes on a line break", "<br clear=all onclick=f()>", "<br>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SanitizeArticleHtml(c.html, "77", kCheckLaunchAddress), c.safe) << c.why;
        EXPECT_EQ(FindUnsafeMarkup(c.safe, "77"), "") << c.why;
    }
}

// The article page is one of the program's own: a link the view would take as a program
// launch or a command must not survive, however it is spelled.
TEST(ArticleSanitiser, DropsLinksToTheLaunchAddressAndToCommandNames) {
    const char* dropped[] = {
        "http://launch.test/?sw=Brambleset.exe",
        "HTTP://LAUNCH.TEST/?sw=tool.exe",
        "http://launch.test:80/?sw=tool.exe",
        "http://launch.test:0080/?sw=tool.exe",
        "http://launch.test./?sw=tool.exe",
        "http://launch.test?sw=tool.exe",
        "http://launch.test/%3F?sw=tool.exe",
        "http://user@launch.test/?sw=tool.exe",
        "http://launch%2Etest/?sw=tool.exe",
        "http://laun&#9;ch.test/?sw=tool.exe",
        "http://launch.test&#10;/?sw=tool.exe",
        "http://launch.test\\?sw=tool.exe",
        "http:///launch.test/?sw=tool.exe",
        "http://x.test/playlist_abc.html",
        "https://x.test/a/wipeplaylist.html?x=1",
        "http://x.test/notepad_new.html#f",
        "http://x.test/latestvideos.html",
        "http://x.test/savearticle_77.html",
        "http://x.test/setup.EXE",
        "http://x.test/ezine_1.html",
    };
    for (const char* href : dropped) {
        const std::string html = std::string("<a href=\"") + href + "\">x</a>";
        EXPECT_EQ(SanitizeArticleHtml(html, "77", kCheckLaunchAddress), "<a>x</a>") << href;
    }
    const char* kept[] = {
        "http://launch.test.example/",  // another host
        "https://launch.test/",         // not the launch address: no command takes it
        "http://launch.test:8080/",
        "http://example.com/?q=launch.test",
        "http://example.com/playlist.html",
        "http://example.com/dogs_and_cats.html",
        "http://127.0.0.1:8765/ezinepublisher/?id=77",
    };
    for (const char* href : kept) {
        const std::string html = std::string("<a href=\"") + href + "\">x</a>";
        EXPECT_EQ(SanitizeArticleHtml(html, "77", kCheckLaunchAddress), html) << href;
    }
}

TEST(ArticleLinks, WebAddressesAreComparedByTheHostAndPortTheBrowserWouldReach) {
    struct Case {
        std::string address;
        std::optional<WebOrigin> origin;
    };
    const std::vector<Case> cases = {
        {"http://Example.COM./a", WebOrigin{"example.com", 80}},
        {"https://example.com:0443", WebOrigin{"example.com", 443}},
        {"http://example.com:/a", WebOrigin{"example.com", 80}},
        {"http://127.1:8770/", WebOrigin{"127.0.0.1", 8770}},
        {"http://0x7f.0.0.1/", WebOrigin{"127.0.0.1", 80}},
        {"http://0177.0.0.1/", WebOrigin{"127.0.0.1", 80}},
        {"http://2130706433/", WebOrigin{"127.0.0.1", 80}},
        {"http://1.2.3.256/", std::nullopt},
        {"http://1..2/", std::nullopt},
        {"http://example.com:99999/", std::nullopt},
        {"http://ex ample.com/", std::nullopt},
        {"http://ex\xC3\xA4mple.com/", std::nullopt},
        {"http://[::1]/", std::nullopt},
        {"ftp://example.com/", std::nullopt},
        {"//example.com/", std::nullopt},
        {"http://", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(PlainWebOrigin(c.address), c.origin) << c.address;
}

TEST(ArticleSanitiser, LeavesTheFormattersMarkupByteForByte) {
    const std::string raw =
        "Training Your Dog\r\n"
        "Start early. See http://dogs.example/start, and [http://dogs.example/guide]the guide\r\n"
        "\r\n"
        "Use <b>short</b> sessions; a <a href=\"http://x.example/\" rel=nofollow target=\"_new\">link</a> "
        "that came with the text.\r\n"
        "\r\n"
        "Article Source: <a href='http://ezine.example/?expert=Ann_Writer'>Ann Writer</a>";
    for (bool saved : {false, true}) {
        const std::string body = FormatArticleHtml(raw, "4242", saved).body;
        ASSERT_NE(body.find(saved ? "unsavearticle_4242.html" : "savearticle_4242.html"), std::string::npos);
        EXPECT_EQ(SanitizeArticleHtml(body, "4242", kCheckLaunchAddress), body);
    }
}

TEST(ArticleSanitiser, NothingUnsafeSurvivesAndASecondPassChangesNothing) {
    const std::string pieces[] = {
        "<a", "<A", "<b", "<br", "<div", "<p", "<script", "<img", "<svg", "<!--", "-->", "</a", "</", "<", ">", "/>",
        " ", "\n", "\"", "'", "=", "href", "HREF", "onclick", "class", "title", "http://x", "javascript:y()",
        "&#106;", "&quot;", "savearticle_77.html", "<textarea>", "<plaintext>", "x", "]]>", "<![CDATA[",
    };
    std::mt19937 random(4242);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 60);
    for (int round = 0; round < 5000; ++round) {
        std::string html;
        for (int n = length(random); n > 0; --n) html += pieces[piece(random)];
        const std::string safe = SanitizeArticleHtml(html, "77", kCheckLaunchAddress);
        ASSERT_EQ(FindUnsafeMarkup(safe, "77"), "") << html << "\n->\n" << safe;
        ASSERT_EQ(SanitizeArticleHtml(safe, "77", kCheckLaunchAddress), safe) << html;
    }
}

}  // namespace
}  // namespace qen::test
