#pragma once
// The newest articles of the package's category, read from the article directory's RSS
// feed with a small tag scanner: the title and article id of up to 100 items.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/Outcome.h"

namespace qen {

class Fetcher;

struct ArticleEntry {
    std::string title;  // as the feed has it, trimmed and cut to a sound size; references and CDATA markers kept
    std::string id;     // the last path segment of the item's link
    bool operator==(const ArticleEntry&) const = default;
};

// "http://" + feed host + "/category/" + the category path as the package gives it.
std::string ArticleFeedAddress(const std::string& feedHost, const std::string& categoryPath);

class ArticleFeed {
public:
    static constexpr std::size_t kMaxEntries = 100;

    // Downloads the feed and, when an XML text came back, replaces the entries with its
    // items. Gives the fetcher's message for a download that failed.
    Outcome LoadArticleFeed(Fetcher& fetcher, const std::string& address);
    // Reads the items of a feed text into the entries (at most 100, in feed order).
    void ReadItems(std::string_view feedText);

    // The title of the first entry with exactly this id, or the empty text.
    std::string FindArticleTitle(std::string_view id) const;

    const std::vector<ArticleEntry>& Entries() const { return entries_; }
    bool Empty() const { return entries_.empty(); }

private:
    std::vector<ArticleEntry> entries_;
};

}  // namespace qen
