#pragma once
// The main view's logic: every navigation, timer and menu command of the window arrives
// here and goes to the link commands, the deferred actions or the menu commands.
#include "platform/MainView.h"
#include "view/DeferredActions.h"
#include "view/LinkCommands.h"
#include "view/MenuCommands.h"
#include "videos/VideoCatalogue.h"
#include "web/Fetcher.h"

namespace qen {

class BrowserView : public ViewEvents {
public:
    BrowserView(Platform& platform, NoteDialogs& noteDialogs, AddressDialog& addressDialog, ZoomDialog& zoomDialog,
                Session& session, ContentSite& site, VideoStore& store, Fetcher& fetcher, VideoCatalogue& videos,
                ArticleLibrary& articles, ApplicationControl& control);

    // The window's browser, once start-up has created it.
    void Attach(MainView* window);
    MainView* window() const { return window_; }

    // While a download waits, messages are handled, so a click, a timer or a menu command
    // can arrive; none may start another download or change what the waiting one will
    // show. A click is refused, a timer waits for the download (it starts again), and a
    // menu command is dropped. A page the program itself asked for (the first page, while
    // start-up looks for a new version) waits too, and is shown once the download is over.
    // This is the one place that keeps it so.
    bool OnBeforeNavigate(const std::string& address, Origin origin) override {
        if (!DownloadUnderWay()) return links_.OnBeforeNavigate(address);
        if (origin == Origin::Program) deferred_.DeferNavigation(address);
        return true;
    }
    void OnTimer(int timerId) override {
        if (DownloadUnderWay())
            deferred_.Postpone(timerId);
        else
            deferred_.OnTimer(timerId);
    }
    void OnMenuCommand(MenuCommand command) override {
        if (!DownloadUnderWay()) menu_.Run(command);
    }

    LinkCommands& links() { return links_; }
    DeferredActions& deferred() { return deferred_; }
    MenuCommands& menu() { return menu_; }

private:
    // A download waits for its answer, or the latest videos are fetched (between their
    // batches no download waits, yet the run is not over).
    bool DownloadUnderWay() const { return fetcher_.Busy() || videos_.FetchingLatest(); }

    Fetcher& fetcher_;
    const VideoCatalogue& videos_;
    MainView* window_ = nullptr;
    DeferredActions deferred_;
    LinkCommands links_;
    MenuCommands menu_;
};

}  // namespace qen
