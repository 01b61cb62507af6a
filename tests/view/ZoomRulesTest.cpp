#include "view/ZoomRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeUi.h"

namespace qen::test {
namespace {

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
        EXPECT_EQ(StepZoomText(c.text, c.delta), c.result) << c.text << " " << c.delta;
}

TEST(ZoomRules, KeyStepsLandOnTensWithinTheRange) {
    struct Case {
        int percent;
        int direction;
        int result;
    };
    const std::vector<Case> cases = {
        {100, +1, 110}, {100, -1, 90}, {95, +1, 100}, {95, -1, 90}, {1, +1, 10},  {1, -1, 1},
        {10, -1, 1},    {11, -1, 10},  {400, +1, 400}, {395, +1, 400}, {400, -1, 390},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SteppedZoom(c.percent, c.direction), c.result) << c.percent << " " << c.direction;
}

TEST(ZoomRules, OkAcceptsOnlyIntegersFromOneToFourHundred) {
    FakeUi ui;
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
        EXPECT_EQ(AcceptZoomText(ui, c.text), c.message.empty()) << c.text;
        if (c.message.empty()) {
            EXPECT_TRUE(ui.messages.empty()) << c.text;
        } else {
            ASSERT_EQ(ui.messages.size(), 1u) << c.text;
            EXPECT_EQ(ui.messages[0].text, c.message);
            EXPECT_EQ(ui.messages[0].icon, Icon::Exclamation);
        }
    }
}

}  // namespace
}  // namespace qen::test
