#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "view/ViewFixture.h"

namespace qen::test {
namespace {

using V = DeferredActions;

TEST_F(ViewFixture, SecondDeferredNavigationReplacesTheFirst) {
    view.deferred().DeferNavigation(W("videos1.html"));
    view.deferred().DeferNavigation(W("playlist1.html"));
    EXPECT_EQ(view.deferred().PendingAddress(), W("playlist1.html"));
    EXPECT_EQ(window.timerStarts, (std::vector<int>{V::kNavigationTimer, V::kNavigationTimer}));
    EXPECT_TRUE(window.navigations.empty());

    view.OnTimer(V::kNavigationTimer);
    EXPECT_EQ(window.navigations, std::vector<std::string>{W("playlist1.html")});
    EXPECT_TRUE(window.runningTimers.empty());
    // The address stays for later, but nothing fires again without a new start.
    EXPECT_EQ(view.deferred().PendingAddress(), W("playlist1.html"));
}

TEST_F(ViewFixture, OnlyTheBareGoBackTextGoesBack) {
    view.deferred().DeferNavigation("goback.html");
    view.OnTimer(V::kNavigationTimer);
    EXPECT_EQ(window.backs, 1);

    view.deferred().DeferNavigation(W("goback.html"));
    view.OnTimer(V::kNavigationTimer);
    EXPECT_EQ(window.backs, 1);
    EXPECT_EQ(window.navigations, std::vector<std::string>{W("goback.html")});
}

TEST_F(ViewFixture, EachTimerPerformsItsOwnActionOnce) {
    struct Case {
        std::function<void(DeferredActions&)> defer;
        int timer;
        int refreshes;
        std::vector<std::string> navigations;
    };
    const std::vector<Case> cases = {
        {[](DeferredActions& v) { v.DeferRefresh(); }, V::kRefreshTimer, 1, {}},
        {[](DeferredActions& v) { v.DeferShowPlaylist(); }, V::kPlaylistTimer, 0, {W("playlist1.html")}},
        {[](DeferredActions& v) { v.DeferShowRelated(); }, V::kRelatedTimer, 0, {W("relatedvideos.html")}},
    };
    for (const Case& c : cases) {
        window.refreshes = 0;
        window.navigations.clear();
        window.timerStarts.clear();
        c.defer(view.deferred());
        EXPECT_EQ(window.timerStarts, std::vector<int>{c.timer});
        EXPECT_EQ(window.refreshes, 0);
        view.OnTimer(c.timer);
        EXPECT_EQ(window.refreshes, c.refreshes) << c.timer;
        EXPECT_EQ(window.navigations, c.navigations) << c.timer;
        EXPECT_TRUE(window.runningTimers.empty()) << c.timer;
    }
}

TEST_F(ViewFixture, OtherTimersAreNotTheViewsConcern) {
    window.runningTimers.insert(4711);
    view.OnTimer(4711);
    EXPECT_TRUE(window.navigations.empty());
    EXPECT_EQ(window.refreshes + window.backs, 0);
    EXPECT_EQ(window.runningTimers.count(4711), 1u);
}

}  // namespace
}  // namespace qen::test
