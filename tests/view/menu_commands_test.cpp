#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ViewFixture.h"

namespace qen::test {
namespace {

using V = CVantlowView;

TEST_F(ViewFixture, MenuCommandsDriveTheBrowser) {
    view.OnMenuCommand(V::kHomeCommand);
    EXPECT_EQ(window.navigations, std::vector<std::string>{app.HomePage});
    view.OnMenuCommand(V::kBackCommand);
    view.OnMenuCommand(V::kForwardCommand);
    view.OnMenuCommand(V::kPrintCommand);
    EXPECT_EQ(window.backs, 1);
    EXPECT_EQ(window.forwards, 1);
    EXPECT_EQ(window.prints, 1);
    view.OnMenuCommand(12345);
    EXPECT_EQ(window.navigations.size(), 1u);
}

TEST_F(ViewFixture, HelpShowsTheHelpPageOnlyWhenItExists) {
    view.OnMenuCommand(V::kHelpCommand);
    EXPECT_TRUE(window.navigations.empty());

    WriteFile(W("help.html"), "<html></html>");
    view.OnMenuCommand(V::kHelpCommand);
    EXPECT_EQ(window.navigations, std::vector<std::string>{W("help.html")});

    app.WorkFolder.clear();
    view.OnMenuCommand(V::kHelpCommand);
    EXPECT_EQ(window.navigations.size(), 1u);
}

// --- Zoom -------------------------------------------------------------------------------

TEST(ZoomRules, SpinStepsAreInvertedAndBounded) {
    struct Case {
        std::string text;
        int delta;
        std::string result;
    };
    const std::vector<Case> cases = {
        {"100", -1, "101"}, {"100", +1, "99"}, {"1", +1, "1"},   {"2", +1, "1"},
        {"400", -1, "400"}, {"399", -1, "400"}, {"500", +1, "499"}, {"abc", -1, "abc"},
        {"", +1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(V::StepZoomText(c.text, c.delta), c.result) << c.text << " " << c.delta;
}

TEST_F(ViewFixture, OkAcceptsOnlyIntegersFromOneToFourHundred) {
    const std::string kRange = "Please enter a zoom level between 1% and 400%";
    const std::string kInteger = "Please enter an integer.";
    struct Case {
        std::string text;
        std::string message;  // empty: accepted
    };
    const std::vector<Case> cases = {
        {"1", ""},         {"400", ""},        {"150", ""},         {" 75 ", ""},
        {"0", kRange},     {"401", kRange},    {"-5", kRange},      {"99999999999", kRange},
        {"", kInteger},    {"12a", kInteger},  {"1.5", kInteger},   {"abc", kInteger},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        EXPECT_EQ(view.AcceptZoomText(c.text), c.message.empty()) << c.text;
        if (c.message.empty()) {
            EXPECT_TRUE(ui.messages.empty()) << c.text;
        } else {
            ASSERT_EQ(ui.messages.size(), 1u) << c.text;
            EXPECT_EQ(ui.messages[0].text, c.message);
            EXPECT_EQ(ui.messages[0].icon, Icon::Exclamation);
        }
    }
}

using StepFn = std::function<std::string(const std::string&, int)>;
using AcceptFn = std::function<bool(const std::string&)>;

TEST_F(ViewFixture, ZoomDialogStoresAndAppliesAChangedValue) {
    app.ZoomPercent = 120;
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
    view.OnMenuCommand(V::kZoomCommand);
    EXPECT_EQ(shownFirst, "120");
    EXPECT_EQ(window.zoomPercent, 90);
    EXPECT_EQ(app.ZoomPercent, 90);
    EXPECT_EQ(platform.fakeSettings.GetInt("QenRuntime", "Zoom", 0), 90);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please enter a zoom level between 1% and 400%"});
}

TEST_F(ViewFixture, UnchangedOrCancelledZoomWritesNothing) {
    app.ZoomPercent = 100;
    window.zoomPercent = 100;
    for (std::optional<std::string> result : {std::optional<std::string>("100"), std::optional<std::string>()}) {
        ui.zoomDialog = [&](const std::string&, const StepFn&, const AcceptFn&) { return result; };
        view.OnMenuCommand(V::kZoomCommand);
    }
    EXPECT_EQ(platform.fakeSettings.writes, 0);
    EXPECT_EQ(app.ZoomPercent, 100);
}

}  // namespace
}  // namespace qen::test
