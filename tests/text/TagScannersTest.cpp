#include <gtest/gtest.h>

#include <gumbo.h>

#include <optional>
#include <random>
#include <string>

#include "text/TagScanners.h"

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

// Where each rule ends the start tag of "title" at the start of the text: the feed rule
// (by the content it finds) and the markup rule. They part over quotes.
TEST(TagScanners, TheThreeRulesSideBySide) {
    struct Case {
        const char* why;
        std::string text;
        std::optional<std::size_t> feedRule;    // where the content starts; nothing: no complete element
        std::optional<std::size_t> markupRule;  // where the start tag ends; nothing: the text ends inside it
        std::string itemRule;                   // the content; empty: no complete element
    };
    const Case cases[] = {
        {"a plain tag", "<title>T</title>", 7, 7, "T"},
        {"a quoted value", "<title type='text'>T</title>", 19, 19, "type='text'>T"},
        {"an unquoted value ends at >", "<title a=x>y>T</title>", 11, 11, "a=x>y>T"},
        {"a > in single quotes ends the tag by the feed rule only", "<title a='>'>T</title>", 11, 13, "a='>'>T"},
        {"a > in double quotes ends the tag by the feed rule only", "<title a=\"x>y\">T</title>", 12, 15, "a=\"x>y\">T"},
        {"a quote left open hides the end from the markup rule", "<title a='x>T</title>", 12, std::nullopt, "a='x>T"},
        {"no end tag: no element, but a whole start tag", "<title>T", std::nullopt, 7, ""},
        {"a start tag never closed", "<title a='x'", std::nullopt, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::size_t position = 0;
        const std::string_view content = ExtractTagContent(c.text, "title", position);
        const std::optional<std::size_t> feedEnd =
            content.empty() ? std::nullopt : std::optional<std::size_t>(content.data() - c.text.data());
        EXPECT_EQ(feedEnd, c.feedRule);
        const std::optional<TagScanner::StartTag> tag = TagScanner(c.text).ScanStartTag(0, 5, 100);
        EXPECT_EQ(tag ? std::optional<std::size_t>(tag->end) : std::nullopt, c.markupRule);
        position = 0;
        EXPECT_EQ(ExtractTag(c.text, "title", position), c.itemRule);
    }
}

TEST(ExtractTag, FindsTheNextElementOfThatName) {
    struct Case {
        const char* why;
        std::string text;
        const char* name;
        std::size_t from;
        std::string content;
        std::size_t positionAfter;  // unchanged when nothing was found
    };
    const Case cases[] = {
        {"plain element", "<item>abc</item>rest", "item", 0, "abc", 16},
        {"a longer name is skipped", "<items>x</items><item>y</item>", "item", 0, "y", 30},
        {"the attributes belong to the content", "<title type='text'>Hi</title>", "title", 0, "type='text'>Hi", 29},
        {"a tab ends the name", "<item\tkind='a'>b</item>", "item", 0, "kind='a'>b", 23},
        {"a byte from 0x80 up ends the name", "<item\xE9z</item>", "item", 0, "z", 14},
        {"a letter does not", "<itemz>q</itemz>", "item", 0, "", 0},
        {"search starts at the position", "<b>1</b><b>2</b>", "b", 1, "2", 16},
        {"no closing tag", "<item>abc", "item", 3, "", 3},
        {"start tag at the very end", "text<item", "item", 0, "", 0},
        {"CDATA and references stay", "<title><![CDATA[A &amp; B]]></title>", "title", 0, "<![CDATA[A &amp; B]]>", 36},
        {"an empty element gives the empty text", "<item></item>", "item", 0, "", 13},
    };
    for (const Case& c : cases) {
        std::size_t position = c.from;
        EXPECT_EQ(ExtractTag(c.text, c.name, position), c.content) << c.why;
        EXPECT_EQ(position, c.positionAfter) << c.why;
    }
}

TEST(ExtractTagContent, FindsTheNextCompleteElementOfThatName) {
    struct Case {
        const char* name;
        std::string text;
        const char* tag;
        std::size_t from;
        std::string content;  // "" when nothing is found
        std::size_t positionAfter;
    };
    const std::string attributes = "<titlex>no</titlex><title type='text'>Yes</title>";
    const Case cases[] = {
        {"plain element", "<a><title>Hello</title></a>", "title", 0, "Hello", 23},
        {"longer names passed over, attributes skipped", attributes, "title", 0, "Yes", attributes.size()},
        {"start tag ended by a line break", "<title\r\nlang='en'>T</title>", "title", 0, "T", 27},
        {"a byte above 127 ends the name", "<title\xA0x>T</title>", "title", 0, "T", 18},
        {"search starts at the position", "<b>1</b><b>2</b>", "b", 1, "2", 16},
        {"empty content", "<b></b>", "b", 0, "", 7},
        {"nested: the first end tag closes", "<b><b>x</b></b>", "b", 0, "<b>x", 11},
        {"missing end tag", "<title>Hello</title", "title", 0, "", 0},
        {"end tag of another case", "<title>Hello</TITLE>", "title", 0, "", 0},
        {"start tag never closed", "<title lang='en'", "title", 0, "", 0},
        {"name at the very end", "text <title", "title", 0, "", 0},
        {"self-closing spelling is another name", "<title/><title>x</title>", "title", 0, "x", 24},
        {"no element", "<feed></feed>", "entry", 0, "", 0},
        {"position beyond the text", "<b>1</b>", "b", 50, "", 50},
    };
    for (const Case& c : cases) {
        std::size_t position = c.from;
        EXPECT_EQ(ExtractTagContent(c.text, c.tag, position), c.content) << c.name;
        EXPECT_EQ(position, c.positionAfter) << c.name;
    }
}

TEST(ExtractTagContent, WalksThroughEntriesInOrder) {
    const std::string feed = "<feed><entry>one</entry>\n<entryx>skip</entryx><entry id='2'>two</entry><entry>three";
    std::size_t position = 0;
    EXPECT_EQ(ExtractTagContent(feed, "entry", position), "one");
    EXPECT_EQ(ExtractTagContent(feed, "entry", position), "two");
    const std::size_t afterTwo = position;
    EXPECT_EQ(ExtractTagContent(feed, "entry", position), "");  // the last one is cut off
    EXPECT_EQ(position, afterTwo);
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
