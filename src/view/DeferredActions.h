#pragma once
// What a link command shows next is done from a one-shot timer, after the navigation
// event has returned: the view is never driven from inside that event.
#include <functional>
#include <string>

namespace qen {

class MainView;
struct Session;

class DeferredActions {
public:
    enum Timer : int {
        kNavigationTimer = 1000037,
        kRefreshTimer = 1000039,
        kPlaylistTimer = 1000040,
        kRelatedTimer = 1000041,
    };
    static constexpr int kDelayMs = 100;

    explicit DeferredActions(const Session& session) : session_(session) {}

    void Attach(MainView* window) { window_ = window; }

    // A second call before the timer fires replaces the address: only the last is visited.
    // The bare "goback.html" goes back one page instead.
    void DeferNavigation(const std::string& address);
    void DeferRefresh();
    void DeferShowPlaylist();
    void DeferShowRelated();
    const std::string& PendingAddress() const { return pendingAddress_; }

    // Runs before the deferred navigation goes to `address`; false stays where the view
    // is. The article list is built there on its first visit, outside the navigation event.
    void SetBeforeNavigation(std::function<bool(const std::string& address)> check) {
        beforeNavigation_ = std::move(check);
    }

    // True when `timerId` was one of these timers.
    bool OnTimer(int timerId);
    // A timer of these that fired while its action must wait starts again.
    void Postpone(int timerId);

private:
    const Session& session_;
    MainView* window_ = nullptr;
    std::string pendingAddress_;
    std::function<bool(const std::string&)> beforeNavigation_;
};

}  // namespace qen
