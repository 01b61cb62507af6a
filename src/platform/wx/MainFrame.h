#pragma once
// The single maximized window: a menu bar of nine commands and the web view filling it.
#include <functional>
#include <map>
#include <memory>

#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/webview.h>

#include "platform/MainView.h"

namespace qen {

class MainFrame : public wxFrame, public MainView {
public:
    explicit MainFrame(ViewEvents& events);

    // A close asked for while `mustWait` holds (a dialog or a download wait runs) is put
    // off; `onPutOff` is called instead, and the window is closed again from the main loop.
    void PutOffCloseWhile(std::function<bool()> mustWait, std::function<void()> onPutOff) {
        closingMustWait_ = std::move(mustWait);
        onPutOffClose_ = std::move(onPutOff);
    }
    ~MainFrame() override;

    void Navigate(const std::string& address) override;
    void GoBack() override;
    void GoForward() override;
    void Refresh() override;
    std::string CurrentAddress() const override;
    void SetZoomPercent(int percent) override;
    void Print() override;
    void SetSilent(bool silent) override;
    void SetTitle(const std::string& title) override;
    void BringToFront() override;
    void CloseWindow() override;
    void StartTimer(int timerId, int milliseconds) override;
    void StopTimer(int timerId) override;

private:
    void BuildMenuBar();
    void CreateWebView();
    void OnNavigating(wxWebViewEvent& event);
    void OnNewWindow(wxWebViewEvent& event);
    void OnTimerEvent(wxTimerEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnMenuOpen(wxMenuEvent& event);
    void OnCharHook(wxKeyEvent& event);

    ViewEvents& events_;
    wxWebView* web_ = nullptr;
    std::map<int, std::unique_ptr<wxTimer>> timers_;
    // The last address Navigate was given, until the browser asks about it: a navigation
    // the program asked for is told apart from the page's own.
    std::string askedAddress_;
    std::function<bool()> closingMustWait_;
    std::function<void()> onPutOffClose_;
};

// Address conversions between the browser's URLs and the logic's plain paths.
std::string AddressFromUrl(const wxString& url);
wxString UrlFromAddress(const std::string& address);

}  // namespace qen
