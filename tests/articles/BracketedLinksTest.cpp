#include <gtest/gtest.h>

#include <random>
#include <string>

#include "LiteralFormatter.h"
#include "articles/BracketedLinks.h"

namespace qen::test {
namespace {

TEST(BracketedLinks, LinkOrRemoveEachBracketedPart) {
    const std::string hundred(100, 'x');
    struct Case {
        const char* why;
        std::string text;
        std::string linked;
    };
    const Case cases[] = {
        {"address and link text up to the line end", "See [http://a.example/p]Click here\r\nNext",
         "See <a href=\"http://a.example/p\">Click here</a>\r\nNext"},
        {"a secure address too", "[https://a.example]Go", "<a href=\"https://a.example\">Go</a>"},
        {"a lone line feed ends the link text as well", "[http://a]x\ny", "<a href=\"http://a\">x</a>\ny"},
        {"a note in brackets goes, brackets and all", "Text [see note 1] here", "Text  here"},
        {"100 characters of link text are linked", "[http://a]" + hundred,
         "<a href=\"http://a\">" + hundred + "</a>"},
        {"101 characters stay plain, the address goes", "[http://a]" + hundred + "y\r\n", hundred + "y\r\n"},
        {"link text with markup stays plain", "[http://a]<b>bold</b>", "<b>bold</b>"},
        {"an empty link text still links", "[http://a]\r\nx", "<a href=\"http://a\"></a>\r\nx"},
        {"an upper-case scheme is no address", "[HTTP://a]x", "x"},
        {"unmatched brackets end the passes", "a ] b [ c", "a ] b [ c"},
        {"a second pair after a link", "[http://a]one\r\n[http://b]two",
         "<a href=\"http://a\">one</a>\r\n<a href=\"http://b\">two</a>"},
        {"brackets inside the link text are passed over again", "[http://a]see [note] here",
         "<a href=\"http://a\">see  here</a>"},
        {"a bracket inside the address starts the next pass", "[http://a[b]c",
         "<a href=\"http://a[b\">c</a>"},
        {"the next pass can reach into the link made before", "[http://[http://a]b]c", "<a href=\"http://c</a>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LinkBracketedAddresses(c.text), c.linked) << c.why;
        EXPECT_EQ(LinkBracketedAddressesOneByOne(c.text), c.linked) << "definition: " << c.why;
    }
}

TEST(BracketedLinks, AgreesWithThePassesOneByOne) {
    // Pieces that make brackets nest, addresses run into earlier links and link texts
    // cross the 100-character limit.
    const std::string pieces[] = {"[", "[", "]", "]", "http://", "https://", "x", " ", "\r\n", "\n", "<", ">",
                                  std::string(40, 'w'), "[http://", "]y"};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int n = length(random); n > 0; --n) text += pieces[piece(random)];
        ASSERT_EQ(LinkBracketedAddresses(text), LinkBracketedAddressesOneByOne(text)) << text;
    }
}

}  // namespace
}  // namespace qen::test
