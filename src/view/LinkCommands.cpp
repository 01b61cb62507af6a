// The link command table and its actions.
#include <filesystem>

#include "app/CVantlowApp.h"
#include "web/Endpoints.h"
#include "notes/Diary.h"
#include "notes/Notepad.h"
#include "view/CVantlowView.h"
#include "web/ExternalBrowser.h"
#include "files/FileHelpers.h"
#include "files/PathHelpers.h"

namespace qen {

namespace {

constexpr std::string_view kWebPrefix = "http://";
constexpr const char* kLaunchKey = "sw";
constexpr const char* kBrambleset = "Brambleset.exe";
constexpr const char* kPostStart = "<div class=\"videopost\">";
constexpr const char* kPostEnd = "</div>\r\n";
constexpr const char* kBlankPost = "<div class=\"videopostblank\">&nbsp;</div>\r\n";

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Secure web pages count as web pages too: no page from the network may trigger a
// command on the user's data by naming one of its files.
bool IsWebAddress(std::string_view address) {
    return StartsWith(address, kWebPrefix) || StartsWith(address, "https://");
}

// A launch link names a program the package put into the work folder: a bare file name,
// so that no link can reach a program anywhere else.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos &&
           name.find("..") == std::string::npos;
}

}  // namespace

bool IsLocalPage(const std::string& address, const std::string& pageName) {
    return !IsWebAddress(address) && EndsWith(address, pageName);
}

bool ParseLinkCommand(const std::string& address, const std::string& prefix, std::string& argument) {
    if (IsWebAddress(address)) return false;
    const std::string name = FileNameOf(address);
    constexpr std::string_view kSuffix = ".html";
    if (name.size() < prefix.size() + kSuffix.size()) return false;
    if (!StartsWith(name, prefix) || !EndsWith(name, kSuffix)) return false;
    argument = name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size());
    return true;
}

// Tried in order; the first that matches wins.
std::span<const CVantlowView::LinkCommand> CVantlowView::LinkCommands() {
    using M = LinkMatch;
    static constexpr LinkCommand kCommands[] = {
        {1, M::LaunchAddress, "", &CVantlowView::LaunchFromWorkFolder},
        {2, M::ProgramFile, ".exe", &CVantlowView::StartLinkedProgram},
        {3, M::OutsideWeb, "", &CVantlowView::OpenOutside},
        // 4 "videos1.html", 5 "latestvideos.html", 6 "playlist1.html": the video pages.
        {7, M::LocalPage, "wipeplaylist.html", &CVantlowView::WipePlaylist},
        {8, M::LocalPage, "goback.html", &CVantlowView::GoBackLater},
        {9, M::Command, "playlist_", &CVantlowView::AddVideoToPlaylist},
        // 10 "savearticle_": the article list (the title comes from its feed).
        {11, M::Command, "unsavearticle_", &CVantlowView::UnsaveArticle},
        {12, M::Command, "youtube_", &CVantlowView::WatchOnVideoSite},
        // 13 "related_": the related-videos page.
        {14, M::Command, "delete_", &CVantlowView::DeleteVideo},
        {15, M::Command, "notepad_", &CVantlowView::EditNoteLink},
        {16, M::Command, "diary_", &CVantlowView::EditDiaryLink},
        // 17 "ezine_", 18 "articles.html": the articles.
        {19, M::Anything, "", &CVantlowView::Allow},
    };
    return kCommands;
}

bool CVantlowView::Matches(const LinkCommand& command, const std::string& address,
                           std::string& argument) {
    Settings& settings = app_.settings();
    switch (command.match) {
        case LinkMatch::LaunchAddress:
            return WithoutQuery(address) == EndpointValue(settings, Endpoint::LaunchAddress);
        case LinkMatch::ProgramFile:
            return ExtensionOf(address) == command.name;
        case LinkMatch::OutsideWeb:
            // The video site's and the advertiser's pages are shown inside the view.
            return StartsWith(address, kWebPrefix) &&
                   address.find(EndpointValue(settings, Endpoint::VideoDomain)) == std::string::npos &&
                   address.find(EndpointValue(settings, Endpoint::AdvertHost)) == std::string::npos;
        case LinkMatch::LocalPage:
            return IsLocalPage(address, command.name);
        case LinkMatch::Command:
            return ParseLinkCommand(address, command.name, argument);
        case LinkMatch::Anything:
            return true;
    }
    return false;
}

const CVantlowView::LinkCommand& CVantlowView::FindCommand(const std::string& address,
                                                          std::string& argument) {
    std::span<const LinkCommand> commands = LinkCommands();
    for (const LinkCommand& command : commands)
        if (Matches(command, address, argument)) return command;
    return commands.back();
}

int CVantlowView::MatchingCommand(const std::string& address) {
    std::string argument;
    return FindCommand(address, argument).number;
}

bool CVantlowView::OnBeforeNavigate2(const std::string& address) {
    std::string argument;
    const LinkCommand& command = FindCommand(address, argument);
    return (this->*command.action)(address, argument);
}

std::string CVantlowView::CurrentPage() const {
    return window_ ? FileNameOf(window_->CurrentAddress()) : std::string();
}

bool CVantlowView::LaunchFromWorkFolder(const std::string& address, const std::string&) {
    const std::string name = QueryValue(address, kLaunchKey);
    if (!IsPlainFileName(name) || app_.WorkFolder.empty()) return true;
    std::vector<std::string> args{name};
    if (name == kBrambleset)
        args.push_back("QZXPATH=" + DirectoryOf(app_.ExePath) + "=QZXPATH");
    else if (ExtensionOf(name) != ".exe")
        return true;
    if (auto handle = app_.system().StartProgram(app_.WorkFolder + name, args))
        app_.AddLaunchedProgram(*handle);
    return true;
}

bool CVantlowView::StartLinkedProgram(const std::string& address, const std::string&) {
    // Only the package's own pages may start programs, and only the package's own programs.
    if (window_ && StartsWith(window_->CurrentAddress(), "http")) return true;
    const std::string& folder = app_.WorkFolder;
    if (folder.empty() || !StartsWith(address, folder)) return true;
    const std::string inside = address.substr(folder.size());
    if (inside.empty() || inside.find("..") != std::string::npos) return true;
    if (auto handle = app_.system().StartProgram(address, {address}))
        app_.AddLaunchedProgram(*handle);
    return true;
}

bool CVantlowView::OpenOutside(const std::string& address, const std::string&) {
    OpenInExternalBrowser(app_.ui(), app_.system(), address);
    return true;
}

bool CVantlowView::WipePlaylist(const std::string&, const std::string&) {
    Ui& ui = app_.ui();
    if (ui.ShowMessage("Are you sure you want to delete the entire playlist?\n(this action cannot be undone)",
                       Icon::Exclamation, Buttons::YesNo) != Answer::Yes)
        return true;
    app_.store.ClearPlaylist();
    ui.ShowMessage("The entire Playlist has been deleted", Icon::Information);
    DeferNavigation(app_.HomePage);
    return true;
}

bool CVantlowView::GoBackLater(const std::string&, const std::string&) {
    DeferNavigation("goback.html");
    return true;
}

bool CVantlowView::AddVideoToPlaylist(const std::string&, const std::string& id) {
    if (!app_.store.AddToPlaylist(id)) return true;
    const std::string page = CurrentPage();
    if (StartsWith(page, "video") || StartsWith(page, "related"))
        app_.ui().ShowMessage("The video has been added to the front of the Playlist", Icon::Information);
    else
        DeferShowPlaylist();
    return true;
}

bool CVantlowView::UnsaveArticle(const std::string&, const std::string& key) {
    if (app_.ui().ShowMessage("Delete this article from the Saved Articles list?", Icon::Question,
                              Buttons::OkCancel) != Answer::Ok)
        return true;
    app_.store.RemoveSavedArticle(key);
    DeferNavigation(app_.WorkFolder + "articles.html");
    return true;
}

bool CVantlowView::WatchOnVideoSite(const std::string&, const std::string& id) {
    OpenInExternalBrowser(app_.ui(), app_.system(),
                          "http://" + EndpointValue(app_.settings(), Endpoint::VideoWebHost) +
                              "/watch?v=" + id);
    return true;
}

bool CVantlowView::DeleteVideo(const std::string&, const std::string& id) {
    Ui& ui = app_.ui();
    const std::string page = CurrentPage();
    bool changed = false;
    if (StartsWith(page, "video") || StartsWith(page, "related")) {
        if (ui.ShowMessage("Are you sure you want to delete this video?", Icon::Exclamation,
                           Buttons::YesNo) == Answer::Yes) {
            changed = true;
            // A related-videos page is only a view of the feed: the store keeps the video.
            if (StartsWith(page, "video") && !app_.store.DeleteCurrentVideo(id)) {
                ui.ShowMessage("Failed to delete video", Icon::Stop);
                changed = false;
            }
        }
    } else if (ui.ShowMessage("Are you sure you want to delete this video from the playlist?",
                              Icon::Exclamation, Buttons::YesNo) == Answer::Yes) {
        if (app_.store.DeleteFromPlaylist(id))
            changed = true;
        else
            ui.ShowMessage("Failed to delete video from playlist", Icon::Stop);
    }
    if (!changed) return true;
    BlankVideoPost(page, id);
    DeferRefresh();
    return true;
}

// Replaces the deleted video's post on the page with an empty cell, so the page keeps
// its layout until it is next written.
void CVantlowView::BlankVideoPost(const std::string& page, const std::string& id) {
    if (page.empty() || app_.WorkFolder.empty()) return;
    const std::string path = app_.WorkFolder + page;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return;
    std::optional<std::string> text = ReadWholeFile(app_.ui(), path);
    if (!text) return;
    const std::string marker =
        ThumbnailAddress(EndpointValue(app_.settings(), Endpoint::ThumbnailHost), id);
    const std::size_t thumbnail = text->find(marker);
    if (thumbnail == std::string::npos || thumbnail == 0) return;
    const std::size_t start = text->rfind(kPostStart, thumbnail - 1);
    if (start == std::string::npos) return;
    const std::size_t end = text->find(kPostEnd, thumbnail + 1);
    if (end == std::string::npos) return;
    const std::string edited = text->substr(0, start) + kBlankPost +
                               text->substr(end + std::string_view(kPostEnd).size());
    WriteWholeFile(app_.ui(), path, edited);
}

bool CVantlowView::EditNoteLink(const std::string&, const std::string& argument) {
    if (EditNote(app_.ui(), app_.store, argument) &&
        WriteNotepadPage(app_.ui(), app_.store, app_.WorkFolder, app_.site.PageTemplate, app_.site.Niche))
        DeferRefresh();
    return true;
}

bool CVantlowView::EditDiaryLink(const std::string&, const std::string& argument) {
    if (EditDiaryEntry(app_.ui(), app_.system(), app_.store, argument) &&
        WriteDiaryPage(app_.ui(), app_.system(), app_.store, app_.WorkFolder, app_.site.PageTemplate,
                       app_.site.Niche))
        DeferRefresh();
    return true;
}

bool CVantlowView::Allow(const std::string&, const std::string&) {
    return false;
}

}  // namespace qen
