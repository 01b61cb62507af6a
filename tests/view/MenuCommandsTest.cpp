#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "view/ViewFixture.h"

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
