#include <gtest/gtest.h>

#include <gumbo.h>

#include <optional>
#include <random>
#include <string>

#include "articles/TagScanner.h"

namespace qen::test {
namespace {

// Where the start tag "<a..." at the beginning of `text` ends by gumbo's reading, or
// nothing when gumbo makes no such tag of it.
std::optional<std::size_t> GumboTagEnd(const std::string& text) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, text.data(), text.size());
    std::optional<std::size_t> end;
    std::vector<const GumboNode*> pending{output->root};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT) continue;
        const GumboElement& element = node->v.element;
        if (element.tag == GUMBO_TAG_A && element.original_tag.data == text.data()) end = element.original_tag.length;
        for (unsigned k = 0; k < element.children.length; ++k)
            pending.push_back(static_cast<const GumboNode*>(element.children.data[k]));
    }
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return end;
}

TEST(TagScanner, FindsWhereAStartTagEnds) {
    struct Case {
        const char* why;
        std::string text;
        std::optional<std::size_t> end;
        std::size_t attributes;
    };
    const Case cases[] = {
        {"no attributes", "<a>x", 3, 0},
        {"blanks and slashes only", "<a / \n/>x", 8, 0},
        {"quoted values may hold >", "<a href=\"x>y\" title='>'>z", 24, 2},
        {"an unquoted value ends at a blank", "<a href=x>y z>", 10, 1},
        {"blanks around =", "<a href = 'x' >", 15, 1},
        {"= may begin a name", "<a =x>", 6, 1},
        {"quotes inside a name are part of it", "<a b\"c>d\">", 7, 1},
        {"a slash between attributes", "<a/href='x'/title=y>", 20, 2},
        {"a value run into the next name", "<a x='1'y='2'>", 14, 2},
        {"a value without anything after =", "<a x=>", 6, 1},
        {"a repeated name counts each time", "<a x x x>", 9, 3},
        {"the text ends in a quoted value", "<a x='>", std::nullopt, 0},
        {"the text ends in the tag", "<a x", std::nullopt, 0},
        {"the text ends after =", "<a x= ", std::nullopt, 0},
    };
    for (const Case& c : cases) {
        const std::optional<TagScanner::StartTag> tag = TagScanner(c.text).ScanStartTag(0, 1, 100);
        ASSERT_EQ(tag.has_value(), c.end.has_value()) << c.why;
        if (tag) {
            EXPECT_EQ(tag->end, *c.end) << c.why;
            EXPECT_EQ(tag->attributes, c.attributes) << c.why;
        }
        EXPECT_EQ(GumboTagEnd(c.text), c.end) << "the parser reads it so too: " << c.why;
    }
}

TEST(TagScanner, RefusesTagsWithTooManyAttributes) {
    EXPECT_TRUE(TagScanner("<a 1 2 3>").ScanStartTag(0, 1, 3));
    EXPECT_FALSE(TagScanner("<a 1 2 3 4>").ScanStartTag(0, 1, 3));
}

TEST(TagScanner, EndsTagsWhereTheParserDoes) {
    const std::string pieces[] = {" ", "\t", "\n", "/", "=", "\"", "'", ">", "<", "x", "href", "a=b", "\x01", "\xE9"};
    std::mt19937 random(1234);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 24);
    for (int round = 0; round < 20000; ++round) {
        std::string text = "<a ";
        for (int n = length(random); n > 0; --n) text += pieces[piece(random)];
        const std::optional<TagScanner::StartTag> tag = TagScanner(text).ScanStartTag(0, 1, 1000);
        const std::optional<std::size_t> end = tag ? std::optional<std::size_t>(tag->end) : std::nullopt;
        ASSERT_EQ(end, GumboTagEnd(text)) << text;
    }
}

TEST(TagScanner, EndTagsTakeOnlyBlanksBeforeTheirEnd) {
    EXPECT_EQ(TagScanner("</a>").ScanEndTag(3), 4u);
    EXPECT_EQ(TagScanner("</a \r\n>").ScanEndTag(3), 7u);
    EXPECT_FALSE(TagScanner("</a x>").ScanEndTag(3));
    EXPECT_FALSE(TagScanner("</a ").ScanEndTag(3));
}

}  // namespace
}  // namespace qen::test
