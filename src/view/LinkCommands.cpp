#include "view/LinkCommands.h"

#include "articles/ArticleLibrary.h"
#include "base/LinkNames.h"
#include "base/LinkOutcome.h"
#include "base/PageNames.h"
#include "base/Session.h"
#include "files/PathHelpers.h"
#include "notes/Diary.h"
#include "notes/Notepad.h"
#include "package/ContentSite.h"
#include "platform/MainView.h"
#include "platform/Platform.h"
#include "store/VideoStore.h"
#include "videos/VideoCatalogue.h"
#include "view/ApplicationControl.h"
#include "view/DeferredActions.h"
#include "view/LinkAddress.h"
#include "web/Endpoints.h"
#include "web/ExternalBrowser.h"

namespace qen {

namespace {

// A launch link names a program the package put into the work folder: a bare file name,
// so that no link can reach a program anywhere else.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos &&
           name.find("..") == std::string::npos;
}

}  // namespace

LinkCommands::LinkCommands(Platform& platform, NoteDialogs& noteDialogs, AddressDialog& addressDialog,
                           Session& session, ContentSite& site, VideoStore& store, VideoCatalogue& videos,
                           ArticleLibrary& articles,
                           ApplicationControl& control, DeferredActions& deferred)
    : platform_(platform),
      noteDialogs_(noteDialogs),
      addressDialog_(addressDialog),
      session_(session),
      site_(site),
      store_(store),
      videos_(videos),
      articles_(articles),
      control_(control),
      deferred_(deferred),
      edits_(platform.ui(), store, videos.RunState(), platform.settings(), session) {}

// Tried in order; the first that matches wins. One that matches an address from where it
// may not run refuses it.
std::span<const LinkCommands::Command> LinkCommands::Table() {
    using M = Match;
    using F = From;
    static constexpr Command kCommands[] = {
        {0, M::ForeignScheme, "", F::Anywhere, &LinkCommands::Refuse},
        {1, M::LaunchAddress, "", F::OwnPage, &LinkCommands::LaunchFromWorkFolder},
        {2, M::ProgramFile, ".exe", F::OwnPage, &LinkCommands::StartLinkedProgram},
        {3, M::OutsideWeb, "", F::Anywhere, &LinkCommands::OpenOutside},
        {4, M::LocalPage, page::kFirstVideos, F::WorkFolder, &LinkCommands::ShowVideos},
        {5, M::LocalPage, link::kLatestVideos, F::OwnWorkFolder, &LinkCommands::GetLatestVideos},
        {6, M::LocalPage, page::kFirstPlaylist, F::WorkFolder, &LinkCommands::ShowPlaylist},
        {7, M::LocalPage, link::kWipePlaylist, F::OwnWorkFolder, &LinkCommands::WipePlaylist},
        {8, M::LocalPage, link::kGoBack, F::OwnWorkFolder, &LinkCommands::GoBackLater},
        {9, M::Command, link::kAddToPlaylist, F::OwnWorkFolder, &LinkCommands::AddVideoToPlaylist},
        {10, M::Command, link::kSaveArticle, F::OwnWorkFolder, &LinkCommands::SaveArticle},
        {11, M::Command, link::kUnsaveArticle, F::OwnWorkFolder, &LinkCommands::UnsaveArticle},
        {12, M::Command, link::kWatchVideo, F::OwnWorkFolder, &LinkCommands::WatchOnVideoSite},
        {13, M::Command, link::kRelated, F::OwnWorkFolder, &LinkCommands::ShowRelatedVideos},
        {14, M::Command, link::kDelete, F::OwnWorkFolder, &LinkCommands::DeleteVideo},
        {15, M::Command, link::kNote, F::OwnWorkFolder, &LinkCommands::EditNoteLink},
        {16, M::Command, link::kDiaryEntry, F::OwnWorkFolder, &LinkCommands::EditDiaryLink},
        {17, M::Command, link::kOpenArticle, F::OwnWorkFolder, &LinkCommands::OpenArticle},
        {18, M::LocalPage, page::kArticles, F::WorkFolder, &LinkCommands::ShowArticles},
        {19, M::Anything, "", F::Anywhere, &LinkCommands::Allow},
    };
    return kCommands;
}

bool LinkCommands::Matches(const Command& command, const std::string& address, std::string& argument) {
    Settings& settings = platform_.settings();
    switch (command.match) {
        case Match::ForeignScheme:
            return !IsViewableAddress(address);
        case Match::LaunchAddress:
            return WithoutQuery(address) == EndpointValue(settings, Endpoint::LaunchAddress);
        case Match::ProgramFile:
            return ExtensionOf(address) == command.name;
        case Match::OutsideWeb:
            // The video site's and the advertiser's pages are shown inside the view.
            return address.starts_with("http://") &&
                   address.find(EndpointValue(settings, Endpoint::VideoDomain)) == std::string::npos &&
                   address.find(EndpointValue(settings, Endpoint::AdvertHost)) == std::string::npos;
        case Match::LocalPage:
            return IsLocalPage(address, command.name);
        case Match::Command:
            return ParseLinkCommand(address, command.name, argument);
        case Match::Anything:
            return true;
    }
    return false;
}

// A page from the network shown in the view (the video site's, an advertiser's, one an
// article links to) must not act on the user's data by naming a pseudo-link.
bool LinkCommands::ComesFrom(From from, const std::string& address) const {
    const bool ownPage = IsOwnPage(window_ ? window_->CurrentAddress() : std::string(), session_.WorkFolder);
    switch (from) {
        case From::Anywhere:
            return true;
        case From::OwnPage:
            return ownPage;
        case From::WorkFolder:
            return IsWorkFolderFile(address, session_.WorkFolder);
        case From::OwnWorkFolder:
            return ownPage && IsWorkFolderFile(address, session_.WorkFolder);
    }
    return false;
}

const LinkCommands::Command& LinkCommands::Find(const std::string& address, std::string& argument) {
    std::span<const Command> commands = Table();
    for (const Command& command : commands)
        if (Matches(command, address, argument)) return ComesFrom(command.from, address) ? command : commands.front();
    return commands.back();
}

int LinkCommands::MatchingCommand(const std::string& address) {
    std::string argument;
    return Find(address, argument).number;
}

bool LinkCommands::OnBeforeNavigate(const std::string& address) {
    std::string argument;
    const Command& command = Find(address, argument);
    return (this->*command.action)(address, argument);
}

std::string LinkCommands::CurrentPage() const {
    return window_ ? FileNameOf(window_->CurrentAddress()) : std::string();
}

bool LinkCommands::LaunchFromWorkFolder(const std::string& address, const std::string&) {
    const std::string name = QueryValue(address, link::kLaunchProgramKey);
    if (!IsPlainFileName(name) || session_.WorkFolder.Empty()) return true;
    std::vector<std::string> args{name};
    if (name == link::kLocatingProgram)
        args.push_back(std::string(link::kProgramFolderMarker) + "=" + session_.ExePath.Folder().Bytes() + "=" +
                       link::kProgramFolderMarker);
    else if (ExtensionOf(name) != ".exe")
        return true;
    if (auto handle = platform_.system().StartProgram((session_.WorkFolder / name).Bytes(), args))
        control_.AddLaunchedProgram(*handle);
    return true;
}

bool LinkCommands::Refuse(const std::string&, const std::string&) { return true; }

bool LinkCommands::StartLinkedProgram(const std::string& address, const std::string&) {
    // Only the package's own programs.
    const std::string& folder = session_.WorkFolder.Bytes();
    if (folder.empty() || !address.starts_with(folder)) return true;
    const std::string inside = address.substr(folder.size());
    if (inside.empty() || inside.find("..") != std::string::npos) return true;
    if (auto handle = platform_.system().StartProgram(address, {address})) control_.AddLaunchedProgram(*handle);
    return true;
}

bool LinkCommands::OpenOutside(const std::string& address, const std::string&) {
    platform_.ui().Succeeded(OpenInExternalBrowser(platform_.system(), address, addressDialog_));
    return true;
}

bool LinkCommands::ShowVideos(const std::string&, const std::string&) {
    return Follow(videos_.VideosPageLink(session_.HomePage));
}

bool LinkCommands::GetLatestVideos(const std::string&, const std::string&) {
    return Follow(videos_.LatestVideosLink(session_.HomePage));
}

bool LinkCommands::ShowPlaylist(const std::string&, const std::string&) { return Follow(videos_.PlaylistPageLink()); }

bool LinkCommands::WipePlaylist(const std::string&, const std::string&) { return Follow(edits_.WipePlaylist()); }

bool LinkCommands::GoBackLater(const std::string&, const std::string&) {
    deferred_.DeferNavigation(link::kGoBack);
    return true;
}

bool LinkCommands::AddVideoToPlaylist(const std::string&, const std::string& id) {
    return Follow(edits_.AddToPlaylist(id, CurrentPage()));
}

bool LinkCommands::SaveArticle(const std::string&, const std::string& id) {
    return Follow(articles_.SaveArticle(id));
}

bool LinkCommands::UnsaveArticle(const std::string&, const std::string& id) {
    return Follow(articles_.UnsaveArticle(id));
}

bool LinkCommands::WatchOnVideoSite(const std::string&, const std::string& id) {
    const std::string page = "http://" + EndpointValue(platform_.settings(), Endpoint::VideoWebHost) + "/watch?v=" + id;
    platform_.ui().Succeeded(OpenInExternalBrowser(platform_.system(), page, addressDialog_));
    return true;
}

bool LinkCommands::ShowRelatedVideos(const std::string&, const std::string& id) {
    return Follow(videos_.RelatedVideosLink(id));
}

bool LinkCommands::DeleteVideo(const std::string&, const std::string& id) {
    return Follow(edits_.DeleteVideo(id, CurrentPage()));
}

bool LinkCommands::EditNoteLink(const std::string&, const std::string& argument) {
    if (EditNote(platform_.ui(), noteDialogs_, store_, argument) && WriteNotepadPage(platform_.ui(), store_, site_))
        deferred_.DeferRefresh();
    return true;
}

bool LinkCommands::EditDiaryLink(const std::string&, const std::string& argument) {
    if (EditDiaryEntry(platform_.ui(), noteDialogs_, platform_.system(), store_, argument) &&
        WriteDiaryPage(platform_.ui(), platform_.system(), store_, site_))
        deferred_.DeferRefresh();
    return true;
}

bool LinkCommands::OpenArticle(const std::string&, const std::string& id) {
    return Follow(articles_.OpenArticle(id));
}

bool LinkCommands::ShowArticles(const std::string& address, const std::string&) {
    return Follow(articles_.ShowArticlesPage(address));
}

bool LinkCommands::Allow(const std::string&, const std::string&) { return false; }

bool LinkCommands::Follow(const LinkOutcome& outcome) {
    switch (outcome.then) {
        case LinkOutcome::Then::Navigate:
            deferred_.DeferNavigation(outcome.address.Bytes());
            break;
        case LinkOutcome::Then::ShowRelated:
            deferred_.DeferShowRelated();
            break;
        case LinkOutcome::Then::ShowPlaylist:
            deferred_.DeferShowPlaylist();
            break;
        case LinkOutcome::Then::Refresh:
            deferred_.DeferRefresh();
            break;
        case LinkOutcome::Then::Nothing:
            break;
    }
    return !outcome.allow;
}

}  // namespace qen
