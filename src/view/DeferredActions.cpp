#include "view/DeferredActions.h"

#include "base/LinkNames.h"
#include "base/PageNames.h"
#include "base/Session.h"
#include "platform/MainView.h"

namespace qen {

void DeferredActions::DeferNavigation(const std::string& address) {
    pendingAddress_ = address;
    if (window_) window_->StartTimer(kNavigationTimer, kDelayMs);
}

void DeferredActions::DeferRefresh() {
    if (window_) window_->StartTimer(kRefreshTimer, kDelayMs);
}

void DeferredActions::DeferShowPlaylist() {
    if (window_) window_->StartTimer(kPlaylistTimer, kDelayMs);
}

void DeferredActions::DeferShowRelated() {
    if (window_) window_->StartTimer(kRelatedTimer, kDelayMs);
}

namespace {
bool IsDeferredTimer(int timerId) {
    switch (timerId) {
        case DeferredActions::kNavigationTimer:
        case DeferredActions::kRefreshTimer:
        case DeferredActions::kPlaylistTimer:
        case DeferredActions::kRelatedTimer:
            return true;
        default:
            return false;
    }
}
}  // namespace

void DeferredActions::Postpone(int timerId) {
    if (window_ && IsDeferredTimer(timerId)) window_->StartTimer(timerId, kDelayMs);
}

bool DeferredActions::OnTimer(int timerId) {
    if (!IsDeferredTimer(timerId)) return false;
    if (!window_) return true;
    window_->StopTimer(timerId);
    switch (timerId) {
        case kNavigationTimer:
            if (pendingAddress_ == link::kGoBack)
                window_->GoBack();
            else if (!beforeNavigation_ || beforeNavigation_(pendingAddress_))
                window_->Navigate(pendingAddress_);
            break;
        case kRefreshTimer:
            window_->Refresh();
            break;
        case kPlaylistTimer:
            window_->Navigate((session_.WorkFolder / page::kFirstPlaylist).Bytes());
            break;
        case kRelatedTimer:
            window_->Navigate((session_.WorkFolder / page::kRelatedVideos).Bytes());
            break;
    }
    return true;
}

}  // namespace qen
