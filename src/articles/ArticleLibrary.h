#pragma once
// The articles section for the run: the category feed once it holds entries, whether
// "articles.html" is up to date, and what the article links do.
#include <string>
#include <utility>

#include "articles/ArticleFeed.h"
#include "articles/ArticlePages.h"
#include "base/LinkOutcome.h"

namespace qen {

class ContentSite;
class Fetcher;
class Settings;
class Ui;
class VideoStore;


class ArticleLibrary {
public:
    // `site` gives the work folder, the page template, the niche and the article category;
    // it must outlive the library.
    ArticleLibrary(Ui& ui, Fetcher& fetcher, VideoStore& store, Settings& settings, const ContentSite& site);

    // Writes "articles.html" unless it is up to date, loading the feed first while it is
    // empty. False when the page was not written, or (leaving everything as it was) when
    // the feed is needed while another download is waiting.
    bool BuildArticlesPage();
    // Fetches, formats and writes "currentarticle.html" and records the article as
    // opened. False when the page was not written, or (doing nothing) for an id no link
    // can carry or while another download is waiting.
    bool BuildCurrentArticlePage(const std::string& id);

    // The link commands. `id` is the text between the link's prefix and ".html".
    LinkOutcome SaveArticle(const std::string& id);             // "savearticle_"
    LinkOutcome UnsaveArticle(const std::string& id);           // "unsavearticle_"
    LinkOutcome OpenArticle(const std::string& id);             // "ezine_"
    // A local page "articles.html": an up-to-date list is shown at once, any other is built
    // from the deferred navigation; while its feed is fetched the waiting page shows.
    LinkOutcome ShowArticlesPage(const std::string& address);

    // For the deferred navigation to "articles.html": builds the page on its first visit.
    // True when the view may go there.
    bool PrepareArticlesPage();

    bool ListBuilt() const { return listBuilt_; }
    const ArticleFeed& Feed() const { return feed_; }

private:
    // The list needs the category feed, which is not here yet.
    bool NeedsFeed() const;
    bool WritePage(const char* name, const std::string& text);
    Path AddressOf(const char* name) const;
    void RecordViewed(const std::string& id);

    Ui& ui_;
    Fetcher& fetcher_;
    VideoStore& store_;
    Settings& settings_;
    const ContentSite& site_;
    ArticleFeed feed_;
    bool listBuilt_ = false;  // "articles.html" shows the feed, the opened marks and the saved list
};

inline constexpr const char* kArticleSavedMessage =
    "This article has been added to the Saved Articles list\n\nThe Saved Articles are shown below the current "
    "articles";
inline constexpr const char* kArticleUnsaveQuestion = "Delete this article from the Saved Articles list?";

}  // namespace qen
