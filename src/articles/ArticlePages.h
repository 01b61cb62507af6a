#pragma once
// The texts of the two article pages: "articles.html", the category's newest articles
// followed by the saved ones, and "currentarticle.html", the article the user opened.
#include <string>
#include <string_view>
#include <vector>

#include "articles/ArticleFeed.h"
#include "store/VideoStore.h"

namespace qen {

class ContentSite;

// An id that can stand in a page's link, in an address and in the blank-separated list of
// viewed ids: letters, digits, "-" and "_", so no escape, separator or quote can come with it.
bool IsUsableArticleId(std::string_view id);

// Whether `viewedKeys` (" id1 id2 ", or empty) holds `id`.
bool IsViewed(std::string_view viewedKeys, std::string_view id);

// A feed title as its reader sees it: a title the feed wrapped in a CDATA section is the
// text inside the section (the feed keeps the markers; they are no part of the title).
std::string ArticleTitleText(std::string_view title);

// The whole title in small letters but for a capital first letter.
std::string ArticleDisplayTitle(std::string_view title);

// The heading of an article category (the feed's path below "/category/"):
// "Aaa-Bbb:Ccc-Ddd.xml" gives "Ccc Ddd": no ".xml", only what follows the first ":",
// blanks for "-".
std::string CategoryHeading(std::string_view categoryPath);

std::string ArticlesPageText(const std::vector<ArticleEntry>& feed, const UserData& data, const ContentSite& site);

// `safeBody` has been through the sanitiser; the title is the article's first line.
std::string CurrentArticlePageText(std::string_view safeBody, std::string_view title, const ContentSite& site);

}  // namespace qen
