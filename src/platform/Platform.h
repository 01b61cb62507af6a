#pragma once
// Everything the logic reaches outside itself, handed to the application object.
#include <memory>

#include "platform/MainView.h"
#include "platform/Settings.h"
#include "platform/System.h"
#include "platform/Ui.h"

namespace qen {

class Platform {
public:
    virtual ~Platform() = default;
    virtual Ui& ui() = 0;
    virtual Settings& settings() = 0;
    virtual System& system() = 0;
    // Creates the maximized main window with its view, not yet shown (BringToFront shows
    // it); nullptr on failure.
    virtual MainView* CreateMainWindow(ViewEvents& events) = 0;
};

}  // namespace qen
