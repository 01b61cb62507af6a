#pragma once
#include "platform/Platform.h"
#include "platform/posix/PosixSystem.h"
#include "platform/wx/WxDialogs.h"
#include "platform/wx/WxSettings.h"
#include "platform/wx/WxUi.h"

namespace qen {

class MainFrame;

class WxPlatform : public Platform {
public:
    Ui& ui() override { return ui_; }
    Settings& settings() override { return settings_; }
    System& system() override { return system_; }
    MainView* CreateMainWindow(ViewEvents& events) override;

    MainFrame* frame() const { return frame_; }
    WxUi& wxUi() { return ui_; }
    FeatureDialogs dialogs() { return dialogs_.Dialogs(); }
    // The window was asked to close while a dialog or a wait ran; it is to close from the
    // main loop.
    bool ClosePutOff() const { return closePutOff_; }

private:
    WxUi ui_;
    WxDialogs dialogs_{ui_};
    WxSettings settings_;
    PosixSystem system_;
    MainFrame* frame_ = nullptr;
    bool closePutOff_ = false;
};

}  // namespace qen
