#include "platform/wx/CloseBoxWatch.h"

#include <dlfcn.h>
#include <wx/window.h>

namespace qen {

namespace {

// The few GTK calls needed, taken from the GTK the toolkit has loaded: its headers are not
// part of the toolkit's own.
using ConnectCall = unsigned long (*)(void* instance, const char* signal, void (*handler)(), void* data,
                                      void* destroy, int flags);
using SetModalCall = void (*)(void* window, int modal);

constexpr int kDeleteEvent = 0;  // GDK_DELETE, the first field of every GdkEvent

template <typename Call>
Call Find(const char* name) {
    return reinterpret_cast<Call>(dlsym(RTLD_DEFAULT, name));
}

// The widget's "event" signal, which comes before its "delete-event" and the toolkit's
// handler of that.
int OnWidgetEvent(void*, void* event, void* data) {
    if (*static_cast<const int*>(event) == kDeleteEvent) (*static_cast<const std::function<void()>*>(data))();
    return 0;  // handled as usual afterwards
}

}  // namespace

void WatchCloseBox(wxWindow& frame, std::function<void()> onClose) {
    const auto connect = Find<ConnectCall>("g_signal_connect_data");
    if (!connect || !frame.GetHandle()) return;
    // Kept for the life of the process, as the handler is.
    auto* callback = new std::function<void()>(std::move(onClose));
    connect(frame.GetHandle(), "event", reinterpret_cast<void (*)()>(&OnWidgetEvent), callback, nullptr, 0);
}

void LetCloseRequestsPass(wxWindow& dialog) {
    // A GTK modal window holds a grab, and GTK drops a close request for any other window
    // while it does. The toolkit's own disabling of the other windows keeps them inert.
    if (const auto setModal = Find<SetModalCall>("gtk_window_set_modal"); setModal && dialog.GetHandle())
        setModal(dialog.GetHandle(), 0);
}

}  // namespace qen
