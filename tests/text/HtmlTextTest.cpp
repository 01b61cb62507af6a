#include <gtest/gtest.h>

#include "text/HtmlText.h"

namespace qen::test {
namespace {

TEST(HtmlText, MarkupBecomesTextWhileReferencesStay) {
    struct Case {
        const char* why;
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"a tag shows as text", "<b>bold</b>", "&lt;b&gt;bold&lt;/b&gt;"},
        {"a quote cannot end an attribute", "say \"hi\" onload=x", "say &quot;hi&quot; onload=x"},
        {"nor can an apostrophe", "Hi' autofocus onfocus='x", "Hi&#39; autofocus onfocus=&#39;x"},
        {"references of the feed keep their character", "Tom &amp; Jerry &#233;", "Tom &amp; Jerry &#233;"},
        {"cp1252 letters pass", "caf\xE9", "caf\xE9"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(EscapeMarkupKeepingReferences(c.in), c.out) << c.why;
}

TEST(HtmlText, TitlesAreCutWithoutSplittingAReference) {
    struct Case {
        const char* why;
        std::string title;
        std::size_t limit;
        std::string cut;
    };
    const Case cases[] = {
        {"short enough", "Dogs", 4, "Dogs"},
        {"cut at the limit", "Dogs and cats", 4, "Dogs"},
        {"a reference that would not fit whole goes", "Caf&#233; society", 7, "Caf"},
        {"a named one too", "Tom &amp; Jerry", 7, "Tom "},
        {"a whole one stays", "Caf&#233; society", 9, "Caf&#233;"},
        {"an & that starts no reference is far behind", "a & " + std::string(40, 'b'), 40,
         "a & " + std::string(36, 'b')},
    };
    for (const Case& c : cases) EXPECT_EQ(CutTitle(c.title, c.limit), c.cut) << c.why;
    EXPECT_EQ(CutTitle(std::string(80000, 'x')).size(), kMaxTitleBytes);
}

}  // namespace
}  // namespace qen::test
