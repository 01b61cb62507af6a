#include "platform/wx/DialogTracker.h"

#include <dlfcn.h>

#include <algorithm>

#include <wx/app.h>

namespace qen {

namespace {

// A native GTK dialog (the file chooser) runs its own loop; it ends on a response, which
// its owner turns into wxID_CANCEL. The GTK calls are looked up in the loaded toolkit.
bool RespondCancel(wxDialog* dialog) {
    using GetType = unsigned long (*)();
    using IsA = int (*)(void*, unsigned long);
    using Respond = void (*)(void*, int);
    auto dialogType = reinterpret_cast<GetType>(dlsym(RTLD_DEFAULT, "gtk_dialog_get_type"));
    auto isA = reinterpret_cast<IsA>(dlsym(RTLD_DEFAULT, "g_type_check_instance_is_a"));
    auto respond = reinterpret_cast<Respond>(dlsym(RTLD_DEFAULT, "gtk_dialog_response"));
    void* widget = dialog->GetHandle();
    if (!dialogType || !isA || !respond || !widget || !isA(widget, dialogType())) return false;
    constexpr int kResponseCancel = -6;
    respond(widget, kResponseCancel);
    return true;
}

}  // namespace

int DialogTracker::Enter(wxDialog* dialog) {
    if (refusing_) return wxID_CANCEL;
    open_.push_back(dialog);
    return wxID_NONE;
}

void DialogTracker::Exit(wxDialog* dialog) {
    open_.erase(std::remove(open_.begin(), open_.end(), dialog), open_.end());
    // What the dialog covered is painted again at once, not left grey until the next event.
    if (wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr) {
        top->Refresh();
        top->Update();
    }
}

void DialogTracker::CancelInnermost() {
    if (open_.empty()) return;
    wxDialog* innermost = open_.back();
    if (!RespondCancel(innermost) && innermost->IsModal()) innermost->EndModal(wxID_CANCEL);
}

}  // namespace qen
