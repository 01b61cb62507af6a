#include "platform/wx/MenuKeys.h"

#include <wx/event.h>

namespace qen {

namespace {

struct KeyBinding {
    int modifiers;
    int keyCode;
    MenuCommand command;
};

// "+" is a shifted key on most layouts, so Ctrl+Shift+= counts as Ctrl+Plus.
constexpr KeyBinding kBindings[] = {
    {wxMOD_CONTROL, 'Q', MenuCommand::Quit},
    {wxMOD_CONTROL, 'P', MenuCommand::Print},
    {wxMOD_NONE, WXK_F1, MenuCommand::Help},
    {wxMOD_ALT, WXK_LEFT, MenuCommand::Back},
    {wxMOD_ALT, WXK_RIGHT, MenuCommand::Forward},
    {wxMOD_CONTROL, '+', MenuCommand::ZoomIn},
    {wxMOD_CONTROL | wxMOD_SHIFT, '+', MenuCommand::ZoomIn},
    {wxMOD_CONTROL | wxMOD_SHIFT, '=', MenuCommand::ZoomIn},
    {wxMOD_CONTROL, '=', MenuCommand::ZoomIn},
    {wxMOD_CONTROL, WXK_NUMPAD_ADD, MenuCommand::ZoomIn},
    {wxMOD_CONTROL, '-', MenuCommand::ZoomOut},
    {wxMOD_CONTROL, WXK_NUMPAD_SUBTRACT, MenuCommand::ZoomOut},
    {wxMOD_CONTROL, '0', MenuCommand::ZoomReset},
    {wxMOD_CONTROL, WXK_NUMPAD0, MenuCommand::ZoomReset},
};

}  // namespace

std::optional<MenuCommand> MenuCommandForKey(const wxKeyEvent& event) {
    const int modifiers = event.GetModifiers();
    const int keyCode = event.GetKeyCode();
    for (const KeyBinding& binding : kBindings)
        if (binding.modifiers == modifiers && binding.keyCode == keyCode) return binding.command;
    return std::nullopt;
}

}  // namespace qen
