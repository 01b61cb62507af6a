#include "articles/ArticleText.h"

#include "text/TextOps.h"
#include "platform/Ui.h"
#include "web/Fetcher.h"

namespace qen {

std::string ArticlePageAddress(const std::string& siteHost, const std::string& id) {
    return "http://" + siteHost + "/ezinepublisher/?id=" + id;
}

ArticlePageText ExtractArticleText(std::string_view page) {
    if (page.empty()) return {ArticlePageFault::Empty, {}};
    const std::size_t open = page.find("<textarea");
    const std::size_t openEnd = open == std::string_view::npos ? open : page.find('>', open);
    if (openEnd == std::string_view::npos) return {ArticlePageFault::NoTextarea, {}};
    const std::size_t begin = openEnd + 1;
    const std::size_t close = page.find("</textarea", begin);
    if (close == std::string_view::npos) return {ArticlePageFault::NoClosingTextarea, {}};
    return {ArticlePageFault::None, TrimWhitespace(page.substr(begin, close - begin))};
}

std::string ArticlePageFaultMessage(ArticlePageFault fault) {
    switch (fault) {
        case ArticlePageFault::None: return {};
        case ArticlePageFault::Empty: return std::string("No article page data retrieved from ") + kArticleSiteLabel;
        case ArticlePageFault::NoTextarea: return "Article page does not contain <textarea> tag";
        case ArticlePageFault::NoClosingTextarea: return "Article page does not contain closing </textarea> tag";
    }
    return {};
}

std::string FetchArticleText(Ui& ui, Fetcher& fetcher, const std::string& siteHost, const std::string& id) {
    const FetchedText fetched = fetcher.FetchArticlePage(ArticlePageAddress(siteHost, id));
    ui.Succeeded(fetched.report);
    ArticlePageText page = ExtractArticleText(fetched.text);
    if (page.fault != ArticlePageFault::None) ui.ShowMessage(ArticlePageFaultMessage(page.fault), Icon::Stop);
    return std::move(page.text);
}

}  // namespace qen
