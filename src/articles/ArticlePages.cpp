#include "articles/ArticlePages.h"

#include "articles/ArticleText.h"
#include "base/LinkNames.h"
#include "package/ContentSite.h"
#include "text/HtmlText.h"
#include "text/TextOps.h"

namespace qen {

namespace {

const std::string kBackLink = std::string("<a href='") + link::kGoBack + "'>Go back to article list</a>";


// Entries without an id to link or with a title of one character are not listed. The title
// is measured as the feed gave it: a CDATA section around one letter is listed.
bool IsListed(std::string_view id, std::string_view title) { return IsUsableArticleId(id) && title.size() > 1; }

std::string ListLine(std::string_view linkClass, std::string_view id, std::string_view title) {
    std::string line = "<div class='";
    line.append(linkClass).append("'><a href='").append(CommandLink(link::kOpenArticle, id)).append("'>");
    line.append(EscapeMarkupKeepingReferences(ArticleDisplayTitle(ArticleTitleText(title))));
    line.append("</a></div><BR>");
    return line;
}

std::string EmptyListText() {
    return std::string("<font color=#b00000><b>There are no articles in the ") + kArticleSiteLabel +
           " article feed<br><br><br>There may be a problem accessing the EzineArticles site<br><br><br>"
           "Please try again later<br><br></b></font>";
}

std::string PageTitle(const ContentSite& site) {
    return site.Niche + " Articles";
}

}  // namespace

bool IsUsableArticleId(std::string_view id) {
    if (id.empty()) return false;
    for (char c : id)
        if (!IsIdCharacter(c)) return false;
    return true;
}

bool IsViewed(std::string_view viewedKeys, std::string_view id) {
    if (id.empty()) return false;
    for (std::size_t at = viewedKeys.find(id); at != std::string_view::npos; at = viewedKeys.find(id, at + 1)) {
        const std::size_t after = at + id.size();
        if (at > 0 && viewedKeys[at - 1] == ' ' && after < viewedKeys.size() && viewedKeys[after] == ' ') return true;
    }
    return false;
}

std::string ArticleTitleText(std::string_view title) {
    constexpr std::string_view open = "<![CDATA[";
    constexpr std::string_view close = "]]>";
    if (title.size() >= open.size() + close.size() && title.starts_with(open) && title.ends_with(close))
        return TrimWhitespace(title.substr(open.size(), title.size() - open.size() - close.size()));
    return std::string(title);
}

std::string ArticleDisplayTitle(std::string_view title) {
    std::string shown = ToLowerCp1252(title);
    if (!shown.empty()) shown[0] = ToUpperLetterCp1252(shown[0]);
    return shown;
}

std::string CategoryHeading(std::string_view categoryPath) {
    std::string_view path = categoryPath;
    if (path.ends_with(".xml")) path.remove_suffix(4);
    if (const std::size_t colon = path.find(':'); colon != std::string_view::npos) path.remove_prefix(colon + 1);
    std::string heading(path);
    for (char& c : heading)
        if (c == '-') c = ' ';
    return heading;
}

std::string ArticlesPageText(const std::vector<ArticleEntry>& feed, const UserData& data, const ContentSite& site) {
    std::string body;
    for (const ArticleEntry& entry : feed) {
        if (!IsListed(entry.id, entry.title)) continue;
        const bool viewed = IsViewed(data.ViewedArticleKeys, entry.id);
        body += ListLine(viewed ? "articlelinkviewed" : "articlelink", entry.id, entry.title);
    }
    if (body.empty()) body = EmptyListText();

    if (!data.SavedArticles.empty()) {
        body += "<BR><BR><BR><BR><BR><div class='articleheader'>Your Saved Articles</B></div><BR><BR>";
        for (const SavedArticle& saved : data.SavedArticles)
            if (IsListed(saved.key, saved.title)) body += ListLine("articlelink", saved.key, saved.title);
    }
    std::string heading = "<div class='articleheader'>The Most Recent <i>";
    heading.append(CategoryHeading(site.ArticleCategory)).append("</i> Articles</div>");
    return site.FillPage(body, "", heading, "", PageTitle(site));
}

std::string CurrentArticlePageText(std::string_view safeBody, std::string_view title, const ContentSite& site) {
    std::string body(safeBody);
    body.append("<BR><BR><DIV class='articlefootlinks'>").append(kBackLink).append("</DIV>");
    // The title line comes from the remote page as it stands: it shows as text.
    return site.FillPage(body, "", EscapeMarkupKeepingReferences(title), kBackLink, PageTitle(site));
}

}  // namespace qen
