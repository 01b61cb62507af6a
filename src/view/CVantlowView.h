#pragma once
// The main view: receives every navigation, timer and menu command of the window.
#include <string>

#include "platform/MainView.h"

namespace qen {

class CVantlowApp;

class CVantlowView : public ViewEvents {
public:
    explicit CVantlowView(CVantlowApp& app);

    // The window's browser, once start-up has created it.
    void Attach(MainView* window) { window_ = window; }
    MainView* window() const { return window_; }

    bool OnBeforeNavigate(const std::string& address) override;
    void OnTimer(int timerId) override;
    void OnMenuCommand(int commandId) override;

private:
    CVantlowApp& app_;
    MainView* window_ = nullptr;
};

}  // namespace qen
