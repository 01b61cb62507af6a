#include "platform/wx/WebViewSetup.h"

#include <dlfcn.h>

#include <memory>
#include <vector>

#include <wx/menu.h>
#include <wx/webview.h>

namespace qen {

namespace {

// The GTK and WebKit calls below are looked up in the libraries the toolkit has already
// loaded, so the build needs none of their development headers. A missing symbol only
// loses that refinement.
template <typename Function>
Function Lookup(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

constexpr const char* kWindowOpenScript =
    "window.open = function(url) { if (url) { window.location.href = url; } return null; };";

struct MenuActivation {
    std::function<void(int)> onCommand;
    int index;
};

void OnActivate(void*, void* data) {
    auto* activation = static_cast<MenuActivation*>(data);
    activation->onCommand(activation->index);
}

// A top-level item without a drop-down ignores a quick release: the menu bar takes the
// click as opening it. The press runs the command at once instead, and goes no further, so
// the bar is not left waiting with the item highlighted.
int OnButtonPress(void*, void* event, void* data) {
    using GetButton = int (*)(void*, unsigned*);
    using GetType = int (*)(void*);
    static auto getButton = Lookup<GetButton>("gdk_event_get_button");
    static auto getType = Lookup<GetType>("gdk_event_get_event_type");
    constexpr int kButtonPress = 4;  // GDK_BUTTON_PRESS: not a double or triple click
    unsigned button = 0;
    if (!getButton || !getType || !getButton(event, &button) || button != 1 || getType(event) != kButtonPress)
        return 0;
    OnActivate(nullptr, data);
    return 1;
}

}  // namespace

void PrepareWebView(wxWebView& web) {
    web.AddUserScript(kWindowOpenScript, wxWEBVIEW_INJECT_AT_DOCUMENT_START);

    using GetSettings = void* (*)(void*);
    using SetCharset = void (*)(void*, const char*);
    auto getSettings = Lookup<GetSettings>("webkit_web_view_get_settings");
    auto setCharset = Lookup<SetCharset>("webkit_settings_set_default_charset");
    if (getSettings && setCharset) {
        if (void* settings = getSettings(web.GetNativeBackend())) setCharset(settings, "windows-1252");
    }
}

void ActivateTopLevelMenus(wxMenuBar* bar, std::function<void(int index)> onCommand) {
    using SetSubmenu = void (*)(void*, void*);
    using Callback = void (*)();  // the toolkit's generic callback type
    using Connect = unsigned long (*)(void*, const char*, Callback, void*, void*, int);
    auto setSubmenu = Lookup<SetSubmenu>("gtk_menu_item_set_submenu");
    auto connect = Lookup<Connect>("g_signal_connect_data");
    if (!setSubmenu || !connect) return;

    static std::vector<std::unique_ptr<MenuActivation>> activations;
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
        wxMenu* menu = bar->GetMenu(i);
        if (!menu || !menu->m_owner) continue;
        activations.push_back(std::make_unique<MenuActivation>(MenuActivation{onCommand, static_cast<int>(i)}));
        setSubmenu(menu->m_owner, nullptr);
        // The keyboard (F10, arrows, Enter) activates; the mouse presses.
        connect(menu->m_owner, "activate", reinterpret_cast<Callback>(&OnActivate), activations.back().get(),
                nullptr, 0);
        connect(menu->m_owner, "button-press-event", reinterpret_cast<Callback>(&OnButtonPress),
                activations.back().get(), nullptr, 0);
    }
}

}  // namespace qen
