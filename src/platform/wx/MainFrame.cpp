#include "platform/wx/MainFrame.h"

#include <wx/menu.h>

#include "base/Path.h"
#include "platform/wx/MenuKeys.h"
#include "platform/wx/SystemText.h"
#include "platform/wx/WebViewSetup.h"

namespace qen {

std::string AddressFromUrl(const wxString& url) { return AddressOfViewUrl(PathFromWx(url)); }

wxString UrlFromAddress(const std::string& address) { return wxString::FromUTF8(ViewUrlOf(address)); }

MainFrame::MainFrame(ViewEvents& events)
    : wxFrame(nullptr, wxID_ANY, "Qen Runtime", wxDefaultPosition, wxSize(1024, 768)), events_(events) {
    BuildMenuBar();
    CreateWebView();
    Bind(wxEVT_TIMER, &MainFrame::OnTimerEvent, this);
    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
    // Seen before the web view, so the page cannot take these keys.
    Bind(wxEVT_CHAR_HOOK, &MainFrame::OnCharHook, this);
}

void MainFrame::OnCharHook(wxKeyEvent& event) {
    const std::optional<MenuCommand> command = MenuCommandForKey(event);
    if (!command) {
        event.Skip();
        return;
    }
    // As a menu click: after the key has been handled, so a dialog does not hold it.
    CallAfter([this, command] { events_.OnMenuCommand(*command); });
}

void MainFrame::OnClose(wxCloseEvent& event) {
    if (closingMustWait_ && closingMustWait_() && event.CanVeto() && onPutOffClose_) {
        event.Veto();
        onPutOffClose_();
        return;
    }
    event.Skip();
}

MainFrame::~MainFrame() {
    for (auto& [id, timer] : timers_) timer->Stop();
}

void MainFrame::BuildMenuBar() {
    auto* bar = new wxMenuBar;
    for (const MenuItem& item : kMenuBar) bar->Append(new wxMenu, item.caption);
    SetMenuBar(bar);
    // Commands run after the click has been handled, so a dialog they open does not hold
    // the menu bar (or an accessibility client pressing it) inside the click.
    ActivateTopLevelMenus(bar, [this](int index) {
        CallAfter([this, index] { events_.OnMenuCommand(kMenuBar[index].command); });
    });
}

void MainFrame::CreateWebView() {
    web_ = wxWebView::New(this, wxID_ANY, wxWebViewDefaultURLStr, wxDefaultPosition, wxDefaultSize,
                          wxWebViewBackendDefault, wxBORDER_NONE);
    web_->EnableContextMenu(false);
    web_->SetZoomType(wxWEBVIEW_ZOOM_TYPE_LAYOUT);
    PrepareWebView(*web_);
    web_->Bind(wxEVT_WEBVIEW_NAVIGATING, &MainFrame::OnNavigating, this);
    web_->Bind(wxEVT_WEBVIEW_NEWWINDOW, &MainFrame::OnNewWindow, this);
}

void MainFrame::OnNavigating(wxWebViewEvent& event) {
    const wxString url = event.GetURL();
    // Sub-frames and the initial blank document are not navigations of the page.
    if (url == wxWebViewDefaultURLStr || url.StartsWith("about:")) return;
    const std::string address = AddressFromUrl(url);
    ViewEvents::Origin origin = ViewEvents::Origin::Page;
    if (address == askedAddress_) {
        origin = ViewEvents::Origin::Program;
        askedAddress_.clear();
    }
    if (events_.OnBeforeNavigate(address, origin)) event.Veto();
}

void MainFrame::OnNewWindow(wxWebViewEvent& event) {
    // A page asking for a new window gets the address in this view, through the dispatcher,
    // still as the page's own request.
    web_->LoadURL(event.GetURL());
}

void MainFrame::Navigate(const std::string& address) {
    askedAddress_ = address;
    web_->LoadURL(UrlFromAddress(address));
}

void MainFrame::GoBack() {
    if (web_->CanGoBack()) web_->GoBack();
}

void MainFrame::GoForward() {
    if (web_->CanGoForward()) web_->GoForward();
}

void MainFrame::Refresh() { web_->Reload(); }

std::string MainFrame::CurrentAddress() const { return AddressFromUrl(web_->GetCurrentURL()); }

void MainFrame::SetZoomPercent(int percent) { web_->SetZoomFactor(percent / 100.0f); }

void MainFrame::Print() { web_->Print(); }

void MainFrame::SetSilent(bool) {
    // The embedded browser shows no script error dialogs of its own; its log goes to stderr.
}

void MainFrame::SetTitle(const std::string& title) { wxFrame::SetTitle(ToWx(title)); }

void MainFrame::BringToFront() {
    if (!IsShown()) {
        Show(true);
        Update();
    }
    Raise();
    web_->SetFocus();
}

void MainFrame::CloseWindow() { Close(false); }

void MainFrame::StartTimer(int timerId, int milliseconds) {
    auto& timer = timers_[timerId];
    if (!timer) timer = std::make_unique<wxTimer>(this, timerId);
    timer->StartOnce(milliseconds);
}

void MainFrame::StopTimer(int timerId) {
    auto found = timers_.find(timerId);
    if (found != timers_.end()) found->second->Stop();
}

void MainFrame::OnTimerEvent(wxTimerEvent& event) { events_.OnTimer(event.GetId()); }

}  // namespace qen
