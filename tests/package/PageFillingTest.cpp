#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "package/ContentSite.h"
#include "package/SiteText.h"

namespace qen {
namespace {

TEST(FillPage, PlaceholdersAreFilledInOrderAndLaterOnesReachEarlierValues) {
    const std::string page = FillTemplate(
        "<t>%%pagetitle%%</t>%%toplefttext%%/%%toprighttext%%<b>%%videoposts%%</b>%%previousnext%%%%videoposts%%",
        "body %%pagetitle%% %%toplefttext%%", "<nav>", "left", "right %%videoposts%%", "Dogs");
    EXPECT_EQ(page,
              "<t>Dogs</t>left/right %%videoposts%%<b>body Dogs left</b><nav>body Dogs left");
}

TEST(ExtractBody, BodyTagsInTheTwoRecognisedSpellings) {
    const std::pair<std::string, std::string> cases[] = {
        {"<html><body>inside</body></html>", "inside"},
        {"<HTML><BODY bgcolor=white>IN</BODY></HTML>", "IN"},
        {"<head>h</head><Body>mixed</Body>", "<head>h</head><Body>mixed</Body>"},
        {"<body class=\"a\">open to the end", "open to the end"},
        {"no tags </body> after", "no tags "},
        {"<body never closed", "<body never closed"},
        {"", ""},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(ExtractBody(in), want) << in;
}

class GeneratedFilesTest : public ::testing::Test {
protected:
    void Touch(const std::string& name) { test::WriteFile(work / name, "x"); }
    bool Exists(const std::string& name) { return std::filesystem::exists(work / name); }

    test::TempDir work;
    test::FakeUi ui;
    test::FakeSettings settings;
    ContentSite site{ui, settings};
};

TEST_F(GeneratedFilesTest, HelpPageFillsTheTemplate) {
    site.WorkFolder = work.path();
    site.Niche = "Dog Training";
    site.PageTemplate = "[%%pagetitle%%|%%toplefttext%%|%%videoposts%%]";
    ASSERT_TRUE(site.BuildHelpPage("<body>%%siteniche%% %%SITENICHE%% %%toplefttext%%</body>"));
    EXPECT_EQ(test::ReadFile(work / "help.html"), "[Dog Training||dog training %%SITENICHE%% ]");
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
    for (const auto& entry : std::filesystem::directory_iterator(work.path()))
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
