#pragma once
// The menu commands (Home, Back, Forward, Zoom, Print, Backup, Help, Quit, About) and the
// zoom keys.
#include "platform/MenuBar.h"

namespace qen {

class ApplicationControl;
class MainView;
class Settings;
class Ui;
class ZoomDialog;
struct Session;

class MenuCommands {
public:
    MenuCommands(Ui& ui, ZoomDialog& zoomDialog, Settings& settings, Session& session, ApplicationControl& control)
        : ui_(ui), zoomDialog_(zoomDialog), settings_(settings), session_(session), control_(control) {}

    void Attach(MainView* window) { window_ = window; }
    void Run(MenuCommand command);

    void ApplyZoom(int percent);
    // The zoom dialog, then a changed value applied and stored.
    void ZoomCommand();

private:
    void ShowHelp();
    // Applies and stores a zoom that differs from the current one.
    void ChangeZoom(int percent);

    Ui& ui_;
    ZoomDialog& zoomDialog_;
    Settings& settings_;
    Session& session_;
    ApplicationControl& control_;
    MainView* window_ = nullptr;
};

}  // namespace qen
