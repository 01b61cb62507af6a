#pragma once
// The main window's menu bar: nine commands and no drop-down menus, plus the commands only
// keys reach. The window shows them; the view carries them out.
namespace qen {

enum class MenuCommand {
    Home = 32774,
    Back = 32772,
    Forward = 32773,
    Zoom = 32778,
    Print = 57607,
    Backup = 32779,
    Help = 32776,
    Quit = 32790,
    About = 32791,
    // Keys only: one zoom step up or down, and back to 100 %.
    ZoomIn = 32792,
    ZoomOut = 32793,
    ZoomReset = 32794,
};

struct MenuItem {
    const char* caption;
    MenuCommand command;
};

// In the order the bar shows them.
inline constexpr MenuItem kMenuBar[] = {
    {"Home", MenuCommand::Home},   {"Back", MenuCommand::Back},     {"Forward", MenuCommand::Forward},
    {"Zoom", MenuCommand::Zoom},   {"Print", MenuCommand::Print},   {"Backup", MenuCommand::Backup},
    {"Help", MenuCommand::Help},   {"Quit", MenuCommand::Quit},     {"About", MenuCommand::About},
};

}  // namespace qen
