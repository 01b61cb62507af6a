#include "view/BrowserView.h"

#include "articles/ArticleLibrary.h"
#include "base/PageNames.h"
#include "platform/Platform.h"
#include "view/LinkAddress.h"

namespace qen {

BrowserView::BrowserView(Platform& platform, NoteDialogs& noteDialogs, AddressDialog& addressDialog,
                         ZoomDialog& zoomDialog, Session& session,
                         ContentSite& site, VideoStore& store, Fetcher& fetcher, VideoCatalogue& videos,
                         ArticleLibrary& articles, ApplicationControl& control)
    : fetcher_(fetcher),
      videos_(videos),
      deferred_(session),
      links_(platform, noteDialogs, addressDialog, session, site, store, videos, articles, control, deferred_),
      menu_(platform.ui(), zoomDialog, platform.settings(), session, control) {
    // The article list is built on its first visit, here, outside the navigation event.
    deferred_.SetBeforeNavigation([&articles](const std::string& address) {
        return !IsLocalPage(address, page::kArticles) || articles.PrepareArticlesPage();
    });
}

void BrowserView::Attach(MainView* window) {
    window_ = window;
    deferred_.Attach(window);
    links_.Attach(window);
    menu_.Attach(window);
}

}  // namespace qen
