#pragma once
// The file names the link commands answer to: pages whose visit runs an action, and the
// prefixes of pseudo-links (prefix + argument + ".html"). Text from outside may link to none.
#include <string>
#include <string_view>

#include "base/PageNames.h"

namespace qen::link {

// What every pseudo-link ends in, after its prefix and argument.
inline constexpr std::string_view kCommandSuffix = ".html";

inline constexpr const char* kLatestVideos = "latestvideos.html";
inline constexpr const char* kWipePlaylist = "wipeplaylist.html";
inline constexpr const char* kGoBack = "goback.html";

inline constexpr const char* kAddToPlaylist = "playlist_";
inline constexpr const char* kSaveArticle = "savearticle_";
inline constexpr const char* kUnsaveArticle = "unsavearticle_";
inline constexpr const char* kWatchVideo = "youtube_";
inline constexpr const char* kRelated = "related_";
inline constexpr const char* kDelete = "delete_";
inline constexpr const char* kNote = "notepad_";
inline constexpr const char* kDiaryEntry = "diary_";
inline constexpr const char* kOpenArticle = "ezine_";

inline constexpr const char* kCommandPages[] = {page::kFirstVideos, kLatestVideos, page::kFirstPlaylist,
                                                kWipePlaylist,      kGoBack,       page::kArticles};
inline constexpr const char* kCommandPrefixes[] = {kAddToPlaylist, kSaveArticle, kUnsaveArticle,
                                                   kWatchVideo,    kRelated,     kDelete,
                                                   kNote,          kDiaryEntry,  kOpenArticle};

// A launch link ("<launch address>?sw=<program>") starts a program the package put into the
// work folder. Packages made for the old program name these; they cannot be renamed here.
inline constexpr const char* kLaunchProgramKey = "sw";
// The one launched program that is told where this program lies: it finds it through the
// value between the two markers of its one extra argument.
inline constexpr const char* kLocatingProgram = "Brambleset.exe";
inline constexpr const char* kProgramFolderMarker = "QZXPATH";

}  // namespace qen::link

namespace qen {

// Whether a link to a file of this name would be taken as a command or a program to start:
// one of the command pages, a prefix + anything + ".html", or an ".exe" name (any case).
bool NamesLinkCommand(std::string_view fileName);

// The file name a page links to so that a click runs the command of `prefix` with `argument`.
std::string CommandLink(std::string_view prefix, std::string_view argument);

}  // namespace qen
