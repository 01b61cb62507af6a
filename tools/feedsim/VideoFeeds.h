#pragma once
// The video service's feeds: keyword search in batches and related videos, as feed
// documents in UTF-8 whose entries carry "title", "yt:videoid" and "id".
#include <map>
#include <string>
#include <string_view>
#include <variant>

namespace qen::feedsim {

using Params = std::multimap<std::string, std::string>;

struct KeywordQuery {
    std::string term;
    int startIndex = 1;
    int maxResults = 50;
    std::string orderBy;  // empty, "viewCount", "published" or "relevance"
};

// The query as the service takes it ("q", "start-index", "max-results", "v=2",
// "format=5", optional "orderby"), or what is wrong with it.
std::variant<KeywordQuery, std::string> ParseKeywordQuery(const Params& params);

// How many results a term has: 1000, or the number its last word names
// ("puppies-120" has 120). Past them the feed has no entries.
int CatalogueSize(std::string_view term);

std::string KeywordFeed(const KeywordQuery& query, std::string_view host);

// Letters, digits, "-" and "_", 1 to 64 of them.
bool IsVideoId(std::string_view id);

// Entry ids read "http://" + host + "/feeds/api/videos/" + id; one of the entries is the
// video itself. An id that starts with "none-" has no related videos.
std::string RelatedFeed(std::string_view videoId, std::string_view host);

}  // namespace qen::feedsim
