#pragma once
// The names of the pages the program writes into the work folder.
#include <string>

namespace qen::page {

inline constexpr const char* kWaiting = "index.html";
inline constexpr const char* kHelp = "help.html";
inline constexpr const char* kFirstVideos = "videos1.html";
inline constexpr const char* kFirstPlaylist = "playlist1.html";
// The numbered pages of a list: stem + number + ".html", from 1.
inline constexpr const char* kVideosStem = "videos";
inline constexpr const char* kPlaylistStem = "playlist";
inline constexpr const char* kRelatedVideos = "relatedvideos.html";
inline constexpr const char* kArticles = "articles.html";
inline constexpr const char* kCurrentArticle = "currentarticle.html";
inline constexpr const char* kNotepad = "notepad.html";
inline constexpr const char* kDiary = "diary.html";
// Left by older versions of the program; still removed with the rest.
inline constexpr const char* kBlank = "blankpage.html";

// The numbered page of a list: NumberedPage(kVideosStem, 2) is "videos2.html".
inline std::string NumberedPage(const char* stem, int number) { return stem + std::to_string(number) + ".html"; }

}  // namespace qen::page
