#pragma once
// The keys that run menu commands wherever the focus is in the main window.
#include <optional>

#include "platform/MenuBar.h"

class wxKeyEvent;

namespace qen {

std::optional<MenuCommand> MenuCommandForKey(const wxKeyEvent& event);

}  // namespace qen
