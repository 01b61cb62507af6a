#include "articles/ArticleLibrary.h"

#include "articles/ArticleFormatter.h"
#include "articles/ArticleSanitiser.h"
#include "articles/ArticleText.h"
#include "base/PageNames.h"
#include "messages/FileMessages.h"
#include "package/ContentSite.h"
#include "platform/Ui.h"
#include "store/VideoStore.h"
#include "text/HtmlText.h"
#include "web/Endpoints.h"
#include "web/Fetcher.h"

namespace qen {

ArticleLibrary::ArticleLibrary(Ui& ui, Fetcher& fetcher, VideoStore& store, Settings& settings,
                               const ContentSite& site)
    : ui_(ui), fetcher_(fetcher), store_(store), settings_(settings), site_(site) {}

bool ArticleLibrary::NeedsFeed() const { return feed_.Empty() && !site_.ArticleCategory.empty(); }

bool ArticleLibrary::BuildArticlesPage() {
    if (listBuilt_) return true;
    const bool needsFeed = NeedsFeed();
    // Set before the work: a failed build is not retried until something changes.
    listBuilt_ = true;
    if (needsFeed) {
        const std::string feedHost = EndpointValue(settings_, Endpoint::ArticleFeedHost);
        ui_.Succeeded(feed_.LoadArticleFeed(fetcher_, ArticleFeedAddress(feedHost, site_.ArticleCategory)));
    }
    return WritePage(page::kArticles, ArticlesPageText(feed_.Entries(), store_, site_));
}

bool ArticleLibrary::BuildCurrentArticlePage(const std::string& id) {
    if (!IsUsableArticleId(id)) return false;
    const std::string raw = FetchArticleText(ui_, fetcher_, EndpointValue(settings_, Endpoint::ArticleSiteHost), id);
    const FormattedArticle article = FormatArticleHtml(raw, id, store_.IsArticleSaved(id));
    const std::string body =
        SanitizeArticleHtml(article.body, id, EndpointValue(settings_, Endpoint::LaunchAddress));
    if (!WritePage(page::kCurrentArticle, CurrentArticlePageText(body, CutTitle(article.title), site_)))
        return false;
    RecordViewed(id);
    // The list shows this article as opened from now on.
    listBuilt_ = false;
    return true;
}

LinkOutcome ArticleLibrary::SaveArticle(const std::string& id) {
    if (!IsUsableArticleId(id)) return LinkOutcome::Cancel();
    // A full list refuses and keeps what it holds.
    if (!store_.AddSavedArticle(id, feed_.FindArticleTitle(id))) {
        ui_.ShowMessage(kSavedArticlesFullMessage, Icon::Stop);
        return LinkOutcome::Cancel();
    }
    listBuilt_ = false;
    ui_.ShowMessage(kArticleSavedMessage, Icon::Information);
    return LinkOutcome::CancelAndNavigate(AddressOf(page::kArticles));
}

LinkOutcome ArticleLibrary::UnsaveArticle(const std::string& id) {
    if (ui_.ShowMessage(kArticleUnsaveQuestion, Icon::Question, Buttons::OkCancel) != Answer::Ok)
        return LinkOutcome::Cancel();
    store_.RemoveSavedArticle(id);
    listBuilt_ = false;
    return LinkOutcome::CancelAndNavigate(AddressOf(page::kArticles));
}

LinkOutcome ArticleLibrary::OpenArticle(const std::string& id) {
    if (!BuildCurrentArticlePage(id)) return LinkOutcome::Cancel();
    return LinkOutcome::CancelAndNavigate(AddressOf(page::kCurrentArticle));
}

LinkOutcome ArticleLibrary::ShowArticlesPage(const std::string& address) {
    if (listBuilt_) return LinkOutcome::Allow();
    // The page is built from the deferred navigation, outside the navigation event.
    if (!NeedsFeed()) return LinkOutcome::CancelAndNavigate(Path(address));
    // The feed may take seconds to come: meanwhile the view shows the waiting page in the
    // list's place (again after a feed that did not come, whose page says so).
    WritePage(page::kArticles, kFetchingArticlesPage);
    return LinkOutcome::AllowAndNavigate(Path(address));
}

bool ArticleLibrary::PrepareArticlesPage() {
    return listBuilt_ || BuildArticlesPage();
}

bool ArticleLibrary::WritePage(const char* name, const std::string& text) {
    return WriteWholeFile(ui_, site_.WorkFolder / name, text);
}

Path ArticleLibrary::AddressOf(const char* name) const { return site_.WorkFolder / name; }

void ArticleLibrary::RecordViewed(const std::string& id) {
    std::string& viewed = store_.ViewedArticleKeys;
    if (IsViewed(viewed, id)) return;
    if (viewed.empty()) viewed.push_back(' ');
    viewed.append(id).push_back(' ');
}

}  // namespace qen
