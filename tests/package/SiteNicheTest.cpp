#include "package/SiteNiche.h"

#include <gtest/gtest.h>

namespace qen {
namespace {

TEST(ParseSiteNiche, NicheNameAndExclusionWords) {
    struct Case {
        std::string text, niche, category;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"dog_training+tips - puppies - Cats\nhttp://a/b\n", "Dog Training Tips", "http://a/b", {"puppies", "cats"}},
        {"seo\nx", "SEO", "x", {}},
        {"SEO tools\nx", "Seo Tools", "x", {}},
        {"html\r\n  cat  \r\n", "HTML", "cat", {}},
        {"dogs -a--b\nx", "Dogs", "x", {"a", "", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string niche, category;
        std::vector<std::string> words;
        EXPECT_EQ(ParseSiteNicheText(c.text, niche, category, words), "");
        EXPECT_EQ(niche, c.niche);
        EXPECT_EQ(category, c.category);
        EXPECT_EQ(words, c.words);
    }
}

TEST(ParseSiteNiche, AtMostFiftyExclusionWords) {
    std::string line = "dogs";
    for (int i = 0; i < 60; ++i) line += " -w" + std::to_string(i);
    std::string niche, category;
    std::vector<std::string> words = {"already"};
    EXPECT_EQ(ParseSiteNicheText(line + "\nx", niche, category, words), "");
    ASSERT_EQ(words.size(), 50u);
    EXPECT_EQ(words.back(), "w48");
}

}  // namespace
}  // namespace qen
