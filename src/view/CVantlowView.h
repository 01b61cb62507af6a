#pragma once
// The main view: receives every navigation, timer and menu command of the window.
// Navigations go through the link command table; whatever a command shows next is
// done from a one-shot timer, after the navigation event has returned.
#include <cstddef>
#include <span>
#include <string>

#include "platform/MainView.h"

namespace qen {

class CVantlowApp;

// Address tests of the link commands.
// True when `address` is not a web address and ends in `pageName` (case-sensitive).
bool IsLocalPage(const std::string& address, const std::string& pageName);
// True when the file name of a non-web `address` is prefix + argument + ".html".
bool ParseLinkCommand(const std::string& address, const std::string& prefix, std::string& argument);

class CVantlowView : public ViewEvents {
public:
    // One-shot timers of the deferred actions.
    static constexpr int kNavigationTimer = 1000037;
    static constexpr int kRefreshTimer = 1000039;
    static constexpr int kPlaylistTimer = 1000040;
    static constexpr int kRelatedTimer = 1000041;
    static constexpr int kDeferDelayMs = 100;

    // Menu commands.
    static constexpr int kHomeCommand = 32774;
    static constexpr int kBackCommand = 32772;
    static constexpr int kForwardCommand = 32773;
    static constexpr int kZoomCommand = 32778;
    static constexpr int kPrintCommand = 57607;
    static constexpr int kBackupCommand = 32779;
    static constexpr int kHelpCommand = 32776;

    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 400;

    explicit CVantlowView(CVantlowApp& app);

    // The window's browser, once start-up has created it.
    void Attach(MainView* window) { window_ = window; }
    MainView* window() const { return window_; }

    bool OnBeforeNavigate(const std::string& address) override { return OnBeforeNavigate2(address); }
    void OnTimer(int timerId) override;
    void OnMenuCommand(int commandId) override;

    // Runs the first link command that matches; true cancels the navigation.
    bool OnBeforeNavigate2(const std::string& address);
    // Number of the link command that takes `address` (the last one takes anything).
    int MatchingCommand(const std::string& address);

    void DeferNavigation(const std::string& address);
    void DeferRefresh();
    void DeferShowPlaylist();
    void DeferShowRelated();
    const std::string& PendingAddress() const { return pendingAddress_; }

    void ApplyZoom(int percent);
    // The zoom command: dialog, then apply and store a changed value.
    void ZoomCommand();

    // The zoom dialog's rules, given the edit box text.
    // A spin step: +1 lowers, -1 raises, within 1..400; text that is no integer is kept.
    static std::string StepZoomText(const std::string& text, int delta);
    // Whether OK may close the dialog; shows why not.
    bool AcceptZoomText(const std::string& text);

private:
    using LinkAction = bool (CVantlowView::*)(const std::string& address, const std::string& argument);
    enum class LinkMatch { LaunchAddress, ProgramFile, OutsideWeb, LocalPage, Command, Anything };
    struct LinkCommand {
        int number;
        LinkMatch match;
        const char* name;  // page name or prefix
        LinkAction action; // true cancels the navigation
    };
    static std::span<const LinkCommand> LinkCommands();
    bool Matches(const LinkCommand& command, const std::string& address, std::string& argument);
    const LinkCommand& FindCommand(const std::string& address, std::string& argument);

    // The actions of the link commands.
    bool LaunchFromWorkFolder(const std::string& address, const std::string&);
    bool StartLinkedProgram(const std::string& address, const std::string&);
    bool OpenOutside(const std::string& address, const std::string&);
    bool WipePlaylist(const std::string&, const std::string&);
    bool GoBackLater(const std::string&, const std::string&);
    bool AddVideoToPlaylist(const std::string&, const std::string& id);
    bool UnsaveArticle(const std::string&, const std::string& key);
    bool WatchOnVideoSite(const std::string&, const std::string& id);
    bool DeleteVideo(const std::string&, const std::string& id);
    bool EditNoteLink(const std::string&, const std::string& argument);
    bool EditDiaryLink(const std::string&, const std::string& argument);
    bool Allow(const std::string&, const std::string&);

    std::string CurrentPage() const;
    void BlankVideoPost(const std::string& page, const std::string& id);
    void ShowHelp();

    CVantlowApp& app_;
    MainView* window_ = nullptr;
    std::string pendingAddress_;
};

}  // namespace qen
