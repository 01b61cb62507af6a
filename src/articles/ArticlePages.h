#pragma once
// The texts of the two article pages: "articles.html", the category's newest articles
// followed by the saved ones, and "currentarticle.html", the article the user opened.
#include <string>
#include <string_view>
#include <vector>

#include "articles/ArticleFeed.h"
#include "store/VideoStore.h"

namespace qen {

// What the article pages need from the site.
struct ArticleSite {
    std::string workFolder;       // ends in "/"
    std::string pageTemplate;
    std::string niche;
    std::string articleCategory;  // the feed's path below "/category/", as the package gives it
};

inline constexpr const char* kArticlesPage = "articles.html";
inline constexpr const char* kCurrentArticlePage = "currentarticle.html";

// An id that can stand in a page's link and in the blank-separated list of viewed ids:
// printable ASCII without blanks, quotes, "<", ">" or "\".
bool IsUsableArticleId(std::string_view id);

// Whether `viewedKeys` (" id1 id2 ", or empty) holds `id`.
bool IsViewed(std::string_view viewedKeys, std::string_view id);

// The whole title in small letters but for a capital first letter.
std::string ArticleDisplayTitle(std::string_view title);

// "Aaa-Bbb:Ccc-Ddd.xml" gives "Ccc Ddd": no ".xml", only what follows the first ":",
// blanks for "-".
std::string CategoryHeading(std::string_view categoryPath);

std::string ArticlesPageText(const std::vector<ArticleEntry>& feed, const UserData& data, const ArticleSite& site);

// `safeBody` has been through the sanitiser; the title is the article's first line.
std::string CurrentArticlePageText(std::string_view safeBody, std::string_view title, const ArticleSite& site);

}  // namespace qen
