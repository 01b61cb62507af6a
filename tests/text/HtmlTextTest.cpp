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

}  // namespace
}  // namespace qen::test
