#pragma once
// The main window with its embedded browser, as the logic sees it.
#include <string>

#include "platform/MenuBar.h"

namespace qen {

// Events the window hands to the logic, all on the user-interface thread.
class ViewEvents {
public:
    virtual ~ViewEvents() = default;
    // Who asked for a navigation: the page (a click, a script) or the program (Navigate).
    enum class Origin { Page, Program };
    // Every navigation, with the full address, before it happens. A file address
    // arrives as a plain local path. Returns true to cancel the navigation.
    virtual bool OnBeforeNavigate(const std::string& address, Origin origin) = 0;
    virtual void OnTimer(int timerId) = 0;
    virtual void OnMenuCommand(MenuCommand command) = 0;
};

class MainView {
public:
    virtual ~MainView() = default;
    virtual void Navigate(const std::string& address) = 0;  // local path or web address
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Refresh() = 0;
    // Current address; a local file comes back as a plain path.
    virtual std::string CurrentAddress() const = 0;
    virtual void SetZoomPercent(int percent) = 0;
    // Prints the current page through the system print dialog, blank header and footer.
    virtual void Print() = 0;
    virtual void SetSilent(bool silent) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // Shows the window if it is not yet shown, raised and with the focus in the view.
    virtual void BringToFront() = 0;
    // Asks the window to close as its close box does, so the program ends the normal way.
    virtual void CloseWindow() = 0;
    // One-shot timers owned by the view; starting a running timer restarts it.
    virtual void StartTimer(int timerId, int milliseconds) = 0;
    virtual void StopTimer(int timerId) = 0;
};

}  // namespace qen
