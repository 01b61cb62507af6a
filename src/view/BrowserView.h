#pragma once
// The main view's logic: every navigation, timer and menu command of the window arrives
// here and goes to the link commands, the deferred actions or the menu commands.
#include "platform/MainView.h"
#include "view/DeferredActions.h"
#include "view/LinkCommands.h"
#include "view/MenuCommands.h"
#include "web/Fetcher.h"

namespace qen {

class BrowserView : public ViewEvents {
public:
    BrowserView(Platform& platform, NoteDialogs& noteDialogs, AddressDialog& addressDialog, ZoomDialog& zoomDialog, Session& session,
                ContentSite& site, VideoStore& store, Fetcher& fetcher, VideoCatalogue& videos,
                ArticleLibrary& articles, ApplicationControl& control);

    // The window's browser, once start-up has created it.
    void Attach(MainView* window);
    MainView* window() const { return window_; }

    bool OnBeforeNavigate(const std::string& address) override { return links_.OnBeforeNavigate(address); }
    // While a download waits, messages are pumped: a timer or a menu command that arrives
    // then waits for it (the timer starts again), so no second download starts.
    void OnTimer(int timerId) override {
        if (fetcher_.Busy())
            deferred_.Postpone(timerId);
        else
            deferred_.OnTimer(timerId);
    }
    void OnMenuCommand(MenuCommand command) override {
        if (!fetcher_.Busy()) menu_.Run(command);
    }

    LinkCommands& links() { return links_; }
    DeferredActions& deferred() { return deferred_; }
    MenuCommands& menu() { return menu_; }

private:
    Fetcher& fetcher_;
    MainView* window_ = nullptr;
    DeferredActions deferred_;
    LinkCommands links_;
    MenuCommands menu_;
};

}  // namespace qen
