#pragma once
// The link command table: every navigation is matched against it in order, and the first
// command that matches decides whether the view may go there and what happens instead.
#include <span>
#include <string>

#include "videos/VideoEdits.h"

namespace qen {

class AddressDialog;
class ApplicationControl;
class ArticleLibrary;
class ContentSite;
class VideoCatalogue;
struct LinkOutcome;
class DeferredActions;
class MainView;
class NoteDialogs;
class Platform;
class VideoStore;
struct Session;

class LinkCommands {
public:
    LinkCommands(Platform& platform, NoteDialogs& noteDialogs, AddressDialog& addressDialog, Session& session,
                 ContentSite& site, VideoStore& store, VideoCatalogue& videos, ArticleLibrary& articles,
                 ApplicationControl& control, DeferredActions& deferred);

    void Attach(MainView* window) { window_ = window; }

    // Runs the first command that matches; true cancels the navigation.
    bool OnBeforeNavigate(const std::string& address);
    // Number of the command that takes `address` (the last one takes anything); 0 for an
    // address refused outright.
    int MatchingCommand(const std::string& address);

private:
    using Action = bool (LinkCommands::*)(const std::string& address, const std::string& argument);
    enum class Match { ForeignScheme, LaunchAddress, ProgramFile, OutsideWeb, LocalPage, Command, Anything };
    // Where an address must come from for its command to run.
    enum class From {
        Anywhere,
        OwnPage,         // a link of the program's own page
        WorkFolder,      // a file of the work folder, from any page (Back and Home go there)
        OwnWorkFolder,   // both: a pseudo-link of one of the program's pages
    };
    struct Command {
        int number;
        Match match;
        const char* name;  // page name or prefix
        From from;
        Action action;     // true cancels the navigation
    };
    static std::span<const Command> Table();
    bool Matches(const Command& command, const std::string& address, std::string& argument);
    bool ComesFrom(From from, const std::string& address) const;
    const Command& Find(const std::string& address, std::string& argument);

    bool Refuse(const std::string&, const std::string&);
    bool LaunchFromWorkFolder(const std::string& address, const std::string&);
    bool StartLinkedProgram(const std::string& address, const std::string&);
    bool OpenOutside(const std::string& address, const std::string&);
    bool ShowVideos(const std::string&, const std::string&);
    bool GetLatestVideos(const std::string&, const std::string&);
    bool ShowPlaylist(const std::string&, const std::string&);
    bool WipePlaylist(const std::string&, const std::string&);
    bool GoBackLater(const std::string&, const std::string&);
    bool AddVideoToPlaylist(const std::string&, const std::string& id);
    bool SaveArticle(const std::string&, const std::string& id);
    bool UnsaveArticle(const std::string&, const std::string& id);
    bool WatchOnVideoSite(const std::string&, const std::string& id);
    bool ShowRelatedVideos(const std::string&, const std::string& id);
    bool DeleteVideo(const std::string&, const std::string& id);
    bool EditNoteLink(const std::string&, const std::string& argument);
    bool EditDiaryLink(const std::string&, const std::string& argument);
    bool OpenArticle(const std::string&, const std::string& id);
    bool ShowArticles(const std::string& address, const std::string&);
    bool Allow(const std::string&, const std::string&);

    // Carries out what a feature's link command left to the view; true cancels.
    bool Follow(const LinkOutcome& outcome);

    std::string CurrentPage() const;

    Platform& platform_;
    NoteDialogs& noteDialogs_;
    AddressDialog& addressDialog_;
    Session& session_;
    ContentSite& site_;
    VideoStore& store_;
    VideoCatalogue& videos_;
    ArticleLibrary& articles_;
    ApplicationControl& control_;
    DeferredActions& deferred_;
    VideoEdits edits_;
    MainView* window_ = nullptr;
};

}  // namespace qen
