#include "view/BrowserView.h"

#include "platform/Platform.h"

namespace qen {

BrowserView::BrowserView(Platform& platform, Session& session, ContentSite& site, VideoStore& store,
                         ApplicationControl& control)
    : deferred_(session),
      links_(platform, session, site, store, control, deferred_),
      menu_(platform.ui(), platform.settings(), session, control) {}

void BrowserView::Attach(MainView* window) {
    window_ = window;
    deferred_.Attach(window);
    links_.Attach(window);
    menu_.Attach(window);
}

}  // namespace qen
