#include "platform/wx/WxPlatform.h"

#include <wx/display.h>

#include "platform/wx/CloseBoxWatch.h"
#include "platform/wx/MainFrame.h"

namespace qen {

MainView* WxPlatform::CreateMainWindow(ViewEvents& events) {
    frame_ = new MainFrame(events);
    frame_->PutOffCloseWhile([this] { return ui_.ClosingMustWait(); }, [this] { closePutOff_ = true; });
    // Without a window manager maximizing does nothing, so start at the display's size.
    wxDisplay display(static_cast<unsigned>(0));
    frame_->SetSize(display.GetClientArea());
    frame_->Maximize(true);
    // Shown by BringToFront: the browser starts now, the window appears once there is a
    // page to show.
    // The close box pressed while a dialog or a wait runs ends the program as a termination
    // request does, once they have ended.
    WatchCloseBox(*frame_, [this] {
        if (ui_.ClosingMustWait()) closePutOff_ = true;
    });
    ui_.SetParentWindow(frame_);
    return frame_;
}

}  // namespace qen
