#pragma once
// The names of the pages the program writes into the work folder.
namespace qen::page {

inline constexpr const char* kWaiting = "index.html";
inline constexpr const char* kHelp = "help.html";
inline constexpr const char* kFirstVideos = "videos1.html";
inline constexpr const char* kFirstPlaylist = "playlist1.html";
inline constexpr const char* kRelatedVideos = "relatedvideos.html";
inline constexpr const char* kArticles = "articles.html";
inline constexpr const char* kCurrentArticle = "currentarticle.html";
inline constexpr const char* kNotepad = "notepad.html";
inline constexpr const char* kDiary = "diary.html";

}  // namespace qen::page
