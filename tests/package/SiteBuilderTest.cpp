#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "package/ContentSite.h"
#include "package/SiteText.h"
#include "package/TestPackages.h"

namespace qen {
namespace {

using test::ReadFile;

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class BuildSiteTest : public ::testing::Test {
protected:
    bool Prepare(const PackageDescription& description) {
        test::WriteFile(dir / "prog.qen", test::MakeBlock(description));
        test::WriteFile(dir / "prog", "program");
        std::string userData;
        return site.OpenPackage(dir / "prog", userData, "") && site.ReadBranding();
    }

    test::TempDir dir;
    test::TempDir work;
    test::FakeUi ui;
    test::FakeSettings settings;
    ContentSite site{ui, settings};
};

TEST_F(BuildSiteTest, UnpacksTheSiteWithItsSubstitutions) {
    ASSERT_TRUE(Prepare(test::SmallSite()));
    ASSERT_TRUE(site.BuildSite(work.path()));
    EXPECT_TRUE(ui.messages.empty());

    EXPECT_EQ(site.Niche, "Dog Training");
    EXPECT_EQ(site.ArticleCategory, "http://articles.example/Pets:Dogs");
    EXPECT_EQ(site.ExcludedWords, (std::vector<std::string>{"cat", "wolf"}));
    EXPECT_EQ(FilesIn(work.path()), (std::vector<std::string>{"articles.html", "banners.js", "help.html",
                                                              "logo.png", "videos1.html"}));

    const std::string expectedTemplate =
        "<html><title>%%pagetitle%%</title><h1>Dog Training Academy Dog Training</h1>"
        "<a href='http://classes.example/'><b>Puppy</b> classes</a><BR>\r\n%%toplefttext%%|%%toprighttext%%"
        "<div>%%videoposts%%</div>%%previousnext%%<a href=\"http://rex.example/\" >Brought to you by Rex & Co</a>"
        "</html>";
    EXPECT_EQ(site.PageTemplate, expectedTemplate);
    EXPECT_EQ(ReadFile(work / "videos1.html"), expectedTemplate);
    EXPECT_EQ(ReadFile(work / "banners.js"),
              "var TopBannerUrls = ['http://banners.example/top.png'];\n"
              "var TopBannerLinks = ['http://shop.example/top'];\n"
              "var SideBannerUrls = ['http://banners.example/s1.png', 'HTTPS://banners.example/s2.png'];\n"
              "var SideBannerLinks = ['http://shop.example/s1', 'http://shop.example/its'];\n"
              "var MaxSideBanners = 3;\n");
    // Binary members are written byte for byte, substitutions and all.
    EXPECT_EQ(ReadFile(work / "logo.png"), std::string("\x89PNG\0\x01\x02target=_blank", 20));
    EXPECT_EQ(ReadFile(work / "articles.html"),
              "<DIV align=center><FONT face=Verdana size=3><BR><BR><BR><BR><BR>Fetching Article Data - Please "
              "Wait</DIV>");
    EXPECT_EQ(ReadFile(work / "help.html"),
              "<html><title>Dog Training</title><h1>Dog Training Academy Dog Training</h1>"
              "<a href='http://classes.example/'><b>Puppy</b> classes</a><BR>\r\n|"
              "<div>Help for dog training (Dog Training)</div><a href=\"http://rex.example/\" >Brought to you by "
              "Rex & Co</a></html>");
    EXPECT_EQ(site.CreatedFiles, (std::vector<std::string>{work / "videos1.html", work / "help.html",
                                                           work / "banners.js", work / "logo.png"}));
}

TEST_F(BuildSiteTest, FooterNeedsBothNameAndLinkAndMaxSideBannersIsAlwaysSet) {
    auto description = test::SmallSite();
    description.footerLink = "";
    description.maxSideBanners = 0;
    description.branding = {};
    ASSERT_TRUE(Prepare(description));
    ASSERT_TRUE(site.BuildSite(work.path()));
    EXPECT_NE(site.PageTemplate.find("<a href=\"\" ></a>"), std::string::npos);
    EXPECT_EQ(ReadFile(work / "banners.js"),
              "var TopBannerUrls = new Array ();\nvar TopBannerLinks = new Array ();\n"
              "var SideBannerUrls = new Array ();\nvar SideBannerLinks = new Array ();\nvar MaxSideBanners = 0;\n");
}

TEST_F(BuildSiteTest, TargetBlankInEveryQuotingIsRemovedFromTextMembers) {
    auto description = test::SmallSite();
    description.members.push_back({"style.CSS", "a{} target=_blank target='_blank' target=\"_blank\" x"});
    description.members.push_back({"plain.htm", "no tokens at all %%other%%"});
    ASSERT_TRUE(Prepare(description));
    ASSERT_TRUE(site.BuildSite(work.path()));
    EXPECT_EQ(ReadFile(work / "style.CSS"), "a{}    x");
    EXPECT_EQ(ReadFile(work / "plain.htm"), "no tokens at all %%other%%");
}

TEST_F(BuildSiteTest, LaterMemberDecidesTheTemplateAndNamesKeepTheirCase) {
    auto description = test::SmallSite();
    description.members.push_back({"videos1.html", "later %%videoposts%%"});
    description.members.push_back({"Template.html", "own name"});
    ASSERT_TRUE(Prepare(description));
    ASSERT_TRUE(site.BuildSite(work.path()));
    EXPECT_EQ(site.PageTemplate, "later %%videoposts%%");
    EXPECT_EQ(ReadFile(work / "videos1.html"), "later %%videoposts%%");
    EXPECT_EQ(ReadFile(work / "Template.html"), "own name");
}

TEST_F(BuildSiteTest, BadNicheWritesNothing) {
    const std::pair<std::string, std::string> cases[] = {
        {"dog training", "The SiteNiche.txt object does not contain 2 lines"},
        {" - dogs\nhttp://a", "The SiteNiche.txt object does not contain SiteNiche data"},
        {"dogs\n\r\n\r\n  \n", "The SiteNiche.txt object does not contain EzineArticles URL data"},
    };
    for (const auto& [niche, message] : cases) {
        SCOPED_TRACE(message);
        auto description = test::SmallSite();
        description.members[0].data = niche;
        test::FakeUi caseUi;
        ContentSite fresh(caseUi, settings);
        test::TempDir folder;
        test::WriteFile(folder / "p.qen", test::MakeBlock(description));
        test::WriteFile(folder / "p", "program");
        std::string userData;
        ASSERT_TRUE(fresh.OpenPackage(folder / "p", userData, folder / "p.qen"));
        ASSERT_TRUE(fresh.ReadBranding());
        EXPECT_FALSE(fresh.BuildSite(work.path()));
        EXPECT_EQ(caseUi.Texts(), std::vector<std::string>{message});
        EXPECT_TRUE(FilesIn(work.path()).empty());
    }
}

TEST_F(BuildSiteTest, PackageWithoutNicheOrHelpStillGetsAHelpPage) {
    auto description = test::SmallSite();
    description.members.erase(description.members.begin(), description.members.begin() + 1);
    description.members.erase(description.members.begin() + 1);  // help.html
    ASSERT_TRUE(Prepare(description));
    ASSERT_TRUE(site.BuildSite(work.path()));
    EXPECT_EQ(site.Niche, "");
    EXPECT_NE(ReadFile(work / "help.html").find("<div></div>"), std::string::npos);
    EXPECT_NE(std::find(site.CreatedFiles.begin(), site.CreatedFiles.end(), work / "help.html"),
              site.CreatedFiles.end());
}

TEST_F(BuildSiteTest, UnwritableMemberIsReported) {
    ASSERT_TRUE(Prepare(test::SmallSite()));
    const std::string missing = work / "missing/";
    EXPECT_FALSE(site.BuildSite(missing));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Unable to create temp file:\n" + missing + "videos1.html"});
    EXPECT_EQ(site.CreatedFiles, std::vector<std::string>{missing + "videos1.html"});
}

TEST_F(BuildSiteTest, NothingIsBuiltBeforeTheDataIsDeciphered) {
    test::WriteFile(dir / "prog.qen", test::MakeBlock(test::SmallSite()));
    test::WriteFile(dir / "prog", "program");
    std::string userData;
    ASSERT_TRUE(site.OpenPackage(dir / "prog", userData, dir / "prog.qen"));
    EXPECT_FALSE(site.BuildSite(work.path()));
    EXPECT_TRUE(FilesIn(work.path()).empty());
}

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

TEST(TitleCase, WordStartsAndTheThreeAcronyms) {
    const std::pair<std::string, std::string> cases[] = {
        {"dog training", "Dog Training"}, {"a_b+c-d", "A B C D"}, {"html", "HTML"}, {"ppc", "PPC"},
        {"seo", "SEO"},  {"seo html", "Seo Html"},  {"9lives x", "9lives X"}, {"", ""},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(TitleCase(in), want) << in;
}

}  // namespace
}  // namespace qen
