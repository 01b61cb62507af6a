#include "package/ContentSite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "fakes/TestPackages.h"
#include "app/OpenPackage.h"

namespace qen {
namespace {

using test::ReadFile;

std::vector<std::string> FilesIn(const Path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Bytes()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class BuildSiteTest : public ::testing::Test {
protected:
    bool Prepare(const PackageDescription& description) {
        test::WriteFile(dir / "prog.qen", test::MakeBlock(description));
        test::WriteFile(dir / "prog", "program");
        Path userData;
        return OpenPackage(ui, settings, dir / "prog", Path(), package, userData) && package.ReadBranding();
    }

    test::TempDir dir;
    test::TempDir work;
    test::FakeUi ui;
    test::FakeSettings settings;
    ContentPackage package;
    ContentSite site;
};

TEST_F(BuildSiteTest, UnpacksTheSiteWithItsSubstitutions) {
    ASSERT_TRUE(Prepare(test::SmallSite()));
    ASSERT_TRUE(site.BuildSite(package, work.path()));
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
    EXPECT_EQ(site.CreatedFiles,
              (std::vector<Path>{work / "videos1.html", work / "help.html", work / "banners.js", work / "logo.png"}));
}

TEST_F(BuildSiteTest, FooterNeedsBothNameAndLinkAndMaxSideBannersIsAlwaysSet) {
    auto description = test::SmallSite();
    description.footerLink = "";
    description.maxSideBanners = 0;
    description.branding = {};
    ASSERT_TRUE(Prepare(description));
    ASSERT_TRUE(site.BuildSite(package, work.path()));
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
    ASSERT_TRUE(site.BuildSite(package, work.path()));
    EXPECT_EQ(ReadFile(work / "style.CSS"), "a{}    x");
    EXPECT_EQ(ReadFile(work / "plain.htm"), "no tokens at all %%other%%");
}

TEST_F(BuildSiteTest, LaterMemberDecidesTheTemplateAndNamesKeepTheirCase) {
    auto description = test::SmallSite();
    description.members.push_back({"videos1.html", "later %%videoposts%%"});
    description.members.push_back({"Template.html", "own name"});
    ASSERT_TRUE(Prepare(description));
    ASSERT_TRUE(site.BuildSite(package, work.path()));
    EXPECT_EQ(site.PageTemplate, "later %%videoposts%%");
    EXPECT_EQ(ReadFile(work / "videos1.html"), "later %%videoposts%%");
    EXPECT_EQ(ReadFile(work / "Template.html"), "own name");
}

TEST_F(BuildSiteTest, EndpointsFileNamesThePackagesHostsAndAFaultyOneNamesNone) {
    auto description = test::SmallSite();
    description.members.push_back({"endpoints.txt", "VideoFeedHost=videos.example.com:8080\r\n"});
    ASSERT_TRUE(Prepare(description));
    ASSERT_TRUE(site.BuildSite(package, work.path()));
    EXPECT_EQ(site.PackageEndpoints, (std::map<std::string, std::string>{{"VideoFeedHost", "videos.example.com:8080"}}));
    EXPECT_FALSE(test::Exists(work / "endpoints.txt"));

    description.members.back().data = "VideoFeedHost=ok.example\nVideoFeedHost=\"><script>\n";
    ContentPackage other;
    package = std::move(other);
    ASSERT_TRUE(Prepare(description));
    ASSERT_TRUE(site.BuildSite(package, work.path()));
    EXPECT_TRUE(site.PackageEndpoints.empty());
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
        ContentPackage freshPackage;
        ContentSite fresh;
        test::TempDir folder;
        test::WriteFile(folder / "p.qen", test::MakeBlock(description));
        test::WriteFile(folder / "p", "program");
        Path userData;
        ASSERT_TRUE(OpenPackage(ui, settings, folder / "p", folder / "p.qen", freshPackage, userData));
        ASSERT_TRUE(freshPackage.ReadBranding());
        const Outcome built = fresh.BuildSite(freshPackage, work.path());
        EXPECT_FALSE(built);
        EXPECT_EQ(built.Message(), message);
        EXPECT_TRUE(FilesIn(work.path()).empty());
    }
}

TEST_F(BuildSiteTest, PackageWithoutNicheOrHelpStillGetsAHelpPage) {
    auto description = test::SmallSite();
    description.members.erase(description.members.begin(), description.members.begin() + 1);
    description.members.erase(description.members.begin() + 1);  // help.html
    // Opening refuses such a package; the site is still built soundly from one.
    ASSERT_TRUE(package.FindBlock(test::MakeBlock(description)));
    ASSERT_TRUE(package.CheckPackageHeader("corrupt"));
    ASSERT_TRUE(package.ReadBranding());
    ASSERT_TRUE(site.BuildSite(package, work.path()));
    EXPECT_EQ(site.Niche, "");
    EXPECT_NE(ReadFile(work / "help.html").find("<div></div>"), std::string::npos);
    EXPECT_NE(std::find(site.CreatedFiles.begin(), site.CreatedFiles.end(), work / "help.html"),
              site.CreatedFiles.end());
}

TEST_F(BuildSiteTest, UnwritableMemberIsReported) {
    ASSERT_TRUE(Prepare(test::SmallSite()));
    const Path missing = work / "missing/";
    const Outcome built = site.BuildSite(package, missing);
    EXPECT_FALSE(built);
    EXPECT_EQ(built.Message(), "Unable to create temp file:\n" + (missing / "videos1.html").Bytes());
    EXPECT_EQ(site.CreatedFiles, std::vector<Path>{missing / "videos1.html"});
}

// Only a package whose header and content passed gives up its members.
TEST_F(BuildSiteTest, NothingIsBuiltFromAnUncheckedPackage) {
    std::string changed = test::MakeBlock(test::SmallSite());
    changed[block::kData + 20] ^= 1;
    ContentPackage unchecked, refused;
    ASSERT_TRUE(unchecked.FindBlock(test::MakeBlock(test::SmallSite())));
    ASSERT_TRUE(refused.FindBlock(changed));
    ASSERT_TRUE(refused.CheckPackageHeader("corrupt"));
    ASSERT_FALSE(refused.CheckContent("corrupt"));
    for (const ContentPackage* package : {&unchecked, &refused}) {
        EXPECT_FALSE(site.BuildSite(*package, work.path()));
        EXPECT_TRUE(FilesIn(work.path()).empty());
    }
}

TEST(FillPage, EachPlaceholderOfTheTemplateIsFilledWhereverItStands) {
    const std::string page = FillTemplate(
        "<t>%%pagetitle%%</t>%%toplefttext%%/%%toprighttext%%<b>%%videoposts%%</b>%%previousnext%%%%videoposts%%"
        "<i title='%%toplefttext%%'>%%%pagetitle%%%",
        "body", "<nav>", "left", "right", "Dogs");
    EXPECT_EQ(page, "<t>Dogs</t>left/right<b>body</b><nav>body<i title='left'>%Dogs%");
}

// A value is text from a feed or an article: a placeholder inside it is no place to fill,
// or a stranger's title could pull the page's own markup (links, the navigation block)
// into an attribute it controls.
TEST(FillPage, PlaceholdersInsideTheValuesStayAsTheyAre) {
    struct Case {
        const char* why;
        std::string body, previousNext, left, right, title;
        std::string page;
    };
    const std::string pageTemplate = "[%%pagetitle%%|%%toplefttext%%|%%toprighttext%%|%%videoposts%%|%%previousnext%%]";
    const Case cases[] = {
        {"a body holding every placeholder", "%%pagetitle%%%%toplefttext%%%%previousnext%%", "", "", "", "T",
         "[T|||%%pagetitle%%%%toplefttext%%%%previousnext%%|]"},
        {"an article's attribute holding the title line", "<a title='%%toplefttext%%'>x</a>", "",
         "Hi' autofocus onfocus='f()' x='", "", "T",
         "[T|Hi' autofocus onfocus='f()' x='||<a title='%%toplefttext%%'>x</a>|]"},
        {"a heading holding the next placeholders", "", "", "%%toprighttext%%%%pagetitle%%", "R", "T",
         "[T|%%toprighttext%%%%pagetitle%%|R||]"},
        {"a title holding an earlier one", "B", "N", "", "", "%%videoposts%%", "[%%videoposts%%|||B|N]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillTemplate(pageTemplate, c.body, c.previousNext, c.left, c.right, c.title), c.page) << c.why;
}

class GeneratedFilesTest : public ::testing::Test {
protected:
    void Touch(const std::string& name) { test::WriteFile(work / name, "x"); }
    bool Exists(const std::string& name) { return test::Exists(work / name); }

    test::TempDir work;
    ContentSite site;
};

TEST_F(GeneratedFilesTest, HelpPageFillsTheTemplate) {
    site.WorkFolder = work.path();
    site.Niche = "Dog Training";
    site.PageTemplate = "[%%pagetitle%%|%%toplefttext%%|%%videoposts%%]";
    ASSERT_TRUE(site.BuildHelpPage("<body>%%siteniche%% %%SITENICHE%% %%toplefttext%%</body>"));
    EXPECT_EQ(test::ReadFile(work / "help.html"), "[Dog Training||dog training %%SITENICHE%% %%toplefttext%%]");
}

TEST_F(GeneratedFilesTest, PageLoopsStopAtTheFirstMissingPageAfterTheFirst) {
    for (const char* name : {"videos1.html", "videos3.html", "playlist2.html", "relatedvideos.html",
                             "blankpage.html", "articles.html", "currentarticle.html", "notepad.html",
                             "diary.html", "videolist.arc", "index.html", "own.css", "keep.html"})
        Touch(name);
    site.WorkFolder = work.path();
    site.CreatedFiles = {work / "own.css", work / "gone.png"};
    site.RemoveGeneratedFiles(5, 3);
    EXPECT_TRUE(site.CreatedFiles.empty());
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(work.path().Bytes()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    // Video page 2 is missing, so page 3 stays; a missing first playlist page does not stop.
    EXPECT_EQ(left, (std::vector<std::string>{"keep.html", "videos3.html"}));
}

TEST_F(GeneratedFilesTest, WithoutWorkFolderOnlyCreatedFilesGo) {
    Touch("own.css");
    Touch("index.html");
    site.CreatedFiles = {work / "own.css"};
    site.RemoveGeneratedFiles(1, 1);
    EXPECT_FALSE(Exists("own.css"));
    EXPECT_TRUE(Exists("index.html"));
}

}  // namespace
}  // namespace qen
