#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "view/ViewFixture.h"
#include "view/ZoomRules.h"

namespace qen::test {
namespace {

TEST_F(ViewFixture, MenuCommandsDriveTheBrowser) {
    view.OnMenuCommand(MenuCommand::Home);
    EXPECT_EQ(window.navigations, std::vector<std::string>{session.HomePage.Bytes()});
    view.OnMenuCommand(MenuCommand::Back);
    view.OnMenuCommand(MenuCommand::Forward);
    view.OnMenuCommand(MenuCommand::Print);
    EXPECT_EQ(window.backs, 1);
    EXPECT_EQ(window.forwards, 1);
    EXPECT_EQ(window.prints, 1);
    view.OnMenuCommand(static_cast<MenuCommand>(12345));
    EXPECT_EQ(window.navigations.size(), 1u);
    view.OnMenuCommand(MenuCommand::Backup);
    EXPECT_EQ(control.backupCommands, 1);
}

TEST_F(ViewFixture, HelpShowsTheHelpPageOnlyWhenItExists) {
    view.OnMenuCommand(MenuCommand::Help);
    EXPECT_TRUE(window.navigations.empty());

    WriteFile(W("help.html"), "<html></html>");
    view.OnMenuCommand(MenuCommand::Help);
    EXPECT_EQ(window.navigations, std::vector<std::string>{W("help.html")});

    SetWorkFolder(Path());
    view.OnMenuCommand(MenuCommand::Help);
    EXPECT_EQ(window.navigations.size(), 1u);
}

TEST_F(ViewFixture, QuitClosesTheWindowAndAboutNamesProductVersionPackageAndLicence) {
    view.OnMenuCommand(MenuCommand::Quit);
    EXPECT_EQ(window.closeRequests, 1);

    ui.SetApplicationName("Dog Training");
    view.OnMenuCommand(MenuCommand::About);
    ASSERT_EQ(ui.messages.size(), 1u);
    const std::string& about = ui.messages[0].text;
    for (const char* part : {"Qen Runtime", "Version 1", "Dog Training", "MIT License"})
        EXPECT_NE(about.find(part), std::string::npos) << part;
    EXPECT_EQ(window.closeRequests, 1);
}

TEST_F(ViewFixture, ZoomKeysStepStoreAndReset) {
    session.ZoomPercent = 100;
    struct Step {
        MenuCommand key;
        int zoom;
    };
    const std::vector<Step> steps = {
        {MenuCommand::ZoomIn, 110}, {MenuCommand::ZoomIn, 120}, {MenuCommand::ZoomOut, 110},
        {MenuCommand::ZoomReset, 100},
    };
    for (const Step& step : steps) {
        view.OnMenuCommand(step.key);
        EXPECT_EQ(window.zoomPercent, step.zoom);
        EXPECT_EQ(session.ZoomPercent, step.zoom);
        EXPECT_EQ(platform.fakeSettings.GetInt("QenRuntime", "Zoom", 0), step.zoom);
    }
    const int writes = platform.fakeSettings.writes;
    view.OnMenuCommand(MenuCommand::ZoomReset);
    session.ZoomPercent = kMaxZoom;
    view.OnMenuCommand(MenuCommand::ZoomIn);
    EXPECT_EQ(platform.fakeSettings.writes, writes);
}

using StepFn = std::function<std::string(const std::string&, int)>;
using AcceptFn = std::function<bool(const std::string&)>;

TEST_F(ViewFixture, ZoomDialogStoresAndAppliesAChangedValue) {
    session.ZoomPercent = 120;
    std::string shownFirst;
    // The user presses the upper arrow twice, types 0 and presses OK, then types 90.
    ui.zoomDialog = [&](const std::string& initial, const StepFn& step, const AcceptFn& accept)
        -> std::optional<std::string> {
        shownFirst = initial;
        std::string text = step(step(initial, -1), -1);
        EXPECT_EQ(text, "122");
        EXPECT_FALSE(accept("0"));
        EXPECT_TRUE(accept("90"));
        return "90";
    };
    view.OnMenuCommand(MenuCommand::Zoom);
    EXPECT_EQ(shownFirst, "120");
    EXPECT_EQ(window.zoomPercent, 90);
    EXPECT_EQ(session.ZoomPercent, 90);
    EXPECT_EQ(platform.fakeSettings.GetInt("QenRuntime", "Zoom", 0), 90);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please enter a zoom level between 1% and 400%"});
}

TEST_F(ViewFixture, UnchangedOrCancelledZoomWritesNothing) {
    session.ZoomPercent = 100;
    window.zoomPercent = 100;
    for (std::optional<std::string> result : {std::optional<std::string>("100"), std::optional<std::string>()}) {
        ui.zoomDialog = [&](const std::string&, const StepFn&, const AcceptFn&) { return result; };
        view.OnMenuCommand(MenuCommand::Zoom);
    }
    EXPECT_EQ(platform.fakeSettings.writes, 0);
    EXPECT_EQ(session.ZoomPercent, 100);
}

}  // namespace
}  // namespace qen::test
