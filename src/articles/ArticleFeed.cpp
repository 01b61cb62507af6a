#include "articles/ArticleFeed.h"

#include "text/HtmlText.h"
#include "text/TagScanners.h"
#include "text/TextOps.h"
#include "web/Fetcher.h"

namespace qen {

namespace {

// A title kept to a sound size; one wrapped in a CDATA section keeps its markers.
std::string KeptTitle(std::string title) {
    constexpr std::string_view open = "<![CDATA[";
    constexpr std::string_view close = "]]>";
    if (title.size() <= kMaxTitleBytes) return title;
    if (title.starts_with(open) && title.ends_with(close)) {
        const std::string_view inside =
            std::string_view(title).substr(open.size(), title.size() - open.size() - close.size());
        return std::string(open) + CutTitle(inside) + std::string(close);
    }
    return CutTitle(title);
}

}  // namespace

std::string ArticleFeedAddress(const std::string& feedHost, const std::string& categoryPath) {
    return "http://" + feedHost + "/category/" + categoryPath;
}

Outcome ArticleFeed::LoadArticleFeed(Fetcher& fetcher, const std::string& address) {
    FetchedText fetched = fetcher.FetchFeedText(FetchChannel::Articles, address);
    const std::string& text = fetched.text;
    // An error page of the server is no feed: the list stays as it was.
    if (!text.empty() && text.find("<?xml") != std::string::npos) ReadItems(text);
    return std::move(fetched.report);
}

void ArticleFeed::ReadItems(std::string_view feedText) {
    entries_.clear();
    std::size_t position = 0;
    while (entries_.size() < kMaxEntries) {
        const std::string item = ExtractTag(feedText, "item", position);
        if (item.empty()) break;
        std::size_t inItem = 0;
        std::string title = KeptTitle(TrimWhitespace(ExtractTag(item, "title", inItem)));
        inItem = 0;
        const std::string link = TrimWhitespace(ExtractTag(item, "link", inItem));
        const std::size_t slash = link.rfind('/');
        if (slash == std::string::npos) continue;
        std::string id = link.substr(slash + 1);
        if (!id.empty()) entries_.push_back({std::move(title), std::move(id)});
    }
}

std::string ArticleFeed::FindArticleTitle(std::string_view id) const {
    for (const ArticleEntry& entry : entries_)
        if (entry.id == id) return entry.title;
    return {};
}

}  // namespace qen
