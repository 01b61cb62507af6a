#include "web/ExternalBrowser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeSystem.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"

namespace qen {
namespace {

using test::FakeSystem;
using test::FakeUi;
using test::StartedProgram;
using test::TempDir;

const std::string kUrl = "http://example.com/a b?x=1&y=\"2\"";

std::vector<std::string> Names(const std::vector<StartedProgram>& calls) {
    std::vector<std::string> names;
    for (const auto& call : calls) {
        names.push_back(call.program);
        EXPECT_EQ(call.args.size(), 2u);
        EXPECT_EQ(call.args.at(0), call.program);
    }
    return names;
}

std::string PageFor(const std::string& quotedUrl) {
    return "<HTML><HEAD><TITLE>Redirect</TITLE>\n"
           "<META HTTP-EQUIV=\"refresh\" CONTENT=\"0; URL=" + quotedUrl + "\">\n"
           "</HEAD><BODY><br><br><br><center>If you are not redirected automatically, please "
           "<a href=\"" + quotedUrl + "\" style=\"color:#000000\">click here</a></center></BODY></HTML>";
}

struct ChainFixture : ::testing::Test {
    TempDir temp;
    FakeUi ui;
    FakeSystem system;
    Path pagePath;

    void SetUp() override {
        system.tempFolder = temp.path();
        pagePath = temp / "temp_webtool_help.html";
    }
};

TEST_F(ChainFixture, StopsAtTheFirstProgramThatWorks) {
    struct Case {
        std::set<std::string> failing;
        std::vector<std::string> ran;
        std::vector<std::string> started;
    };
    const Case cases[] = {
        {{}, {"xdg-open"}, {}},
        {{"xdg-open"}, {"xdg-open"}, {"x-www-browser"}},
        {{"xdg-open", "x-www-browser"}, {"xdg-open"}, {"x-www-browser", "firefox"}},
    };
    for (const auto& c : cases) {
        FakeSystem fresh;
        fresh.tempFolder = temp.path();
        fresh.programsThatFail = c.failing;
        ui.Succeeded(OpenInExternalBrowser(fresh, kUrl, ui));
        EXPECT_EQ(Names(fresh.launched), c.ran);
        EXPECT_EQ(Names(fresh.detached), c.started);
        for (const auto& call : fresh.launched) EXPECT_EQ(call.args.at(1), kUrl);
        for (const auto& call : fresh.detached) EXPECT_EQ(call.args.at(1), kUrl);
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(test::Exists(pagePath));
}

TEST_F(ChainFixture, FallsBackToTheRedirectPage) {
    // xdg-open cannot handle the address itself but opens the page.
    struct AddressFailing : FakeSystem {
        LaunchOutcome Launch(const std::string& program, const std::vector<std::string>& args, int wait) override {
            FakeSystem::Launch(program, args, wait);
            return args.at(1).ends_with(".html") ? LaunchOutcome::Succeeded : LaunchOutcome::Failed;
        }
    } once;
    once.tempFolder = temp.path();
    once.programsThatFail = {"x-www-browser", "firefox"};

    ui.Succeeded(OpenInExternalBrowser(once, kUrl, ui));

    ASSERT_EQ(once.launched.size(), 2u);
    EXPECT_EQ(once.launched[1].args, (std::vector<std::string>{"xdg-open", pagePath.Bytes()}));
    EXPECT_EQ(test::ReadFile(pagePath), PageFor("http://example.com/a b?x=1&y=&quot;2&quot;"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ChainFixture, TellsTheUserWhenNothingOpens) {
    system.programsThatFail = {"xdg-open", "x-www-browser", "firefox"};
    ui.Succeeded(OpenInExternalBrowser(system, kUrl, ui));

    EXPECT_EQ(Names(system.launched), (std::vector<std::string>{"xdg-open", "xdg-open"}));
    EXPECT_TRUE(test::Exists(pagePath));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Unable to activate your Internet browser\n\nPlease activate your browser and enter the "
              "address:\n\n" + kUrl);
    EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
    EXPECT_EQ(ui.addressesShown, std::vector<std::string>{kUrl});
}

TEST_F(ChainFixture, WithoutTempFolderStopsSilently) {
    system.programsThatFail = {"xdg-open", "x-www-browser", "firefox"};
    system.tempFolder.reset();
    ui.Succeeded(OpenInExternalBrowser(system, kUrl, ui));
    EXPECT_EQ(system.launched.size(), 1u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ChainFixture, AddressThatLooksLikeAnOptionGoesOnlyThroughThePage) {
    const std::string url = "--new-instance";
    ui.Succeeded(OpenInExternalBrowser(system, url, ui));
    EXPECT_TRUE(system.detached.empty());
    ASSERT_EQ(system.launched.size(), 1u);
    EXPECT_EQ(system.launched[0].args, (std::vector<std::string>{"xdg-open", pagePath.Bytes()}));
    EXPECT_EQ(test::ReadFile(pagePath), PageFor(url));
}

TEST_F(ChainFixture, RedirectPageWriteFailureShowsOnlyTheWriteMessage) {
    system.programsThatFail = {"xdg-open"};
    const Path badPath = temp / "missing/page.html";
    EXPECT_FALSE(ui.Succeeded(OpenViaRedirectPage(system, kUrl, badPath)));
    EXPECT_TRUE(system.launched.empty());
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Failed to write file " + badPath.Bytes()}));
}

TEST_F(ChainFixture, RedirectPageDefaultPlaceAndQuietFailure) {
    system.programsThatFail = {"xdg-open"};
    const Outcome failed = OpenViaRedirectPage(system, "http://x/", Path());
    EXPECT_FALSE(failed);
    EXPECT_EQ(test::ReadFile(pagePath), PageFor("http://x/"));
    EXPECT_TRUE(ui.messages.empty());  // the caller decides whether to tell

    system.programsThatFail.clear();
    EXPECT_TRUE(ui.Succeeded(OpenViaRedirectPage(system, "http://y/", Path())));
    EXPECT_EQ(test::ReadFile(pagePath), PageFor("http://y/"));
}

}  // namespace
}  // namespace qen
