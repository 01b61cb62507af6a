#include "view/MenuCommands.h"

#include <filesystem>
#include <system_error>

#include "base/PageNames.h"
#include "base/Session.h"
#include "platform/MainView.h"
#include "platform/Settings.h"
#include "platform/Ui.h"
#include "view/AboutText.h"
#include "view/ApplicationControl.h"
#include "view/ZoomDialog.h"
#include "view/ZoomRules.h"

namespace qen {

void MenuCommands::Run(MenuCommand command) {
    if (!window_) return;
    switch (command) {
        case MenuCommand::Home:
            window_->Navigate(session_.HomePage.Bytes());
            break;
        case MenuCommand::Back:
            window_->GoBack();
            break;
        case MenuCommand::Forward:
            window_->GoForward();
            break;
        case MenuCommand::Zoom:
            ZoomCommand();
            break;
        case MenuCommand::Print:
            window_->Print();
            break;
        case MenuCommand::Backup:
            control_.RunBackupCommand();
            break;
        case MenuCommand::Help:
            ShowHelp();
            break;
        case MenuCommand::Quit:
            window_->CloseWindow();
            break;
        case MenuCommand::About:
            ui_.ShowMessage(AboutText(ui_.ApplicationName()), Icon::Information);
            break;
        case MenuCommand::ZoomIn:
            ChangeZoom(SteppedZoom(session_.ZoomPercent, +1));
            break;
        case MenuCommand::ZoomOut:
            ChangeZoom(SteppedZoom(session_.ZoomPercent, -1));
            break;
        case MenuCommand::ZoomReset:
            ChangeZoom(100);
            break;
    }
}

void MenuCommands::ShowHelp() {
    if (session_.WorkFolder.Empty()) return;
    const Path help = session_.WorkFolder / page::kHelp;
    std::error_code error;
    if (std::filesystem::is_regular_file(help.Bytes(), error)) window_->Navigate(help.Bytes());
}

void MenuCommands::ApplyZoom(int percent) {
    if (window_) window_->SetZoomPercent(percent);
}

void MenuCommands::ZoomCommand() {
    std::optional<std::string> accepted =
        zoomDialog_.ShowZoomDialog(std::to_string(session_.ZoomPercent), &StepZoomText,
                                   [this](const std::string& text) { return AcceptZoomText(ui_, text); });
    if (!accepted) return;
    int value = 0;
    // The dialog only closes with OK on an accepted text; checked again so a toolkit
    // slip can never store a zoom outside the range.
    if (ZoomFromText(*accepted, value)) ChangeZoom(value);
}

void MenuCommands::ChangeZoom(int percent) {
    if (percent == session_.ZoomPercent) return;
    ApplyZoom(percent);
    session_.ZoomPercent = percent;
    settings_.SetInt(session_.ProductKey, "Zoom", percent);
}

}  // namespace qen
