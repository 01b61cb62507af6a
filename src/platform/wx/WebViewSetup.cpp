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
    using Connect = unsigned long (*)(void*, const char*, void (*)(void*, void*), void*, void*, int);
    auto setSubmenu = Lookup<SetSubmenu>("gtk_menu_item_set_submenu");
    auto connect = Lookup<Connect>("g_signal_connect_data");
    if (!setSubmenu || !connect) return;

    static std::vector<std::unique_ptr<MenuActivation>> activations;
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
        wxMenu* menu = bar->GetMenu(i);
        if (!menu || !menu->m_owner) continue;
        activations.push_back(std::make_unique<MenuActivation>(MenuActivation{onCommand, static_cast<int>(i)}));
        setSubmenu(menu->m_owner, nullptr);
        connect(menu->m_owner, "activate", &OnActivate, activations.back().get(), nullptr, 0);
    }
}

}  // namespace qen
