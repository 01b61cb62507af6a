#include "feedsim/VideoFeeds.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

#include "feedsim/Generated.h"

namespace qen::feedsim {

namespace {

constexpr int kDefaultCatalogue = 1000;
constexpr int kLargestCatalogue = 100'000;
constexpr int kRelatedCount = 25;

// Titles in the feed's own form: references stay as they are, letters outside ASCII come
// as UTF-8. Some carry the words a niche typically excludes.
constexpr std::string_view kTitlePatterns[] = {
    "{T} Basics &amp; Beyond, Part {N}",
    "Top {N} {T} Mistakes (and How to Fix Them)",
    "Caf\xC3\xA9 Chat: {T} Q&amp;A #{N}",
    "{T} \xE2\x80\x94 Lesson {N}",
    "{T} in 5 Minutes \xF0\x9F\x90\xBE #{N}",
    "\xC3\x9C" "ber {T}: Tipps &amp; Tricks {N}",
    "&quot;{T}&quot; Explained, Episode {N}",
    "{T} Fails Compilation {N}",
    "Funny {T} Prank #{N}",
    "{T} Meme Review {N}",
};

constexpr std::string_view kFeedNamespaces =
    " xmlns='http://www.w3.org/2005/Atom' xmlns:media='http://search.yahoo.com/mrss/'"
    " xmlns:gd='http://schemas.google.com/g/2005' xmlns:yt='http://gdata.youtube.com/schemas/2007'";

std::optional<int> ParseCount(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

const std::string* Single(const Params& params, const std::string& name) {
    auto found = params.find(name);
    return found == params.end() ? nullptr : &found->second;
}

std::string VideoTitle(std::string_view topic, std::uint64_t seed, int number) {
    const auto& pattern = kTitlePatterns[seed % std::size(kTitlePatterns)];
    return FillPattern(pattern, topic, number);
}

std::string Timestamp(std::uint64_t seed) {
    const int day = static_cast<int>(seed % 28) + 1;
    const int month = static_cast<int>((seed >> 8) % 12) + 1;
    const int year = 2008 + static_cast<int>((seed >> 16) % 6);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:00.000Z", year, month, day,
                  static_cast<int>((seed >> 24) % 24), static_cast<int>((seed >> 32) % 60));
    return text;
}

std::string FeedHead(std::string_view id, std::string_view title, int total, int start, int perPage) {
    std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<feed";
    head += kFeedNamespaces;
    head += "><id>";
    head += id;
    head += "</id><updated>2013-05-01T12:00:00.000Z</updated><title type='text'>";
    head += title;
    head += "</title><author><name>YouTube</name><uri>http://www.youtube.com/</uri></author>"
            "<generator version='2.1' uri='http://gdata.youtube.com'>YouTube data API</generator>";
    head += "<yt:totalResults>" + std::to_string(total) + "</yt:totalResults>";
    head += "<yt:startIndex>" + std::to_string(start) + "</yt:startIndex>";
    head += "<yt:itemsPerPage>" + std::to_string(perPage) + "</yt:itemsPerPage>\n";
    return head;
}

}  // namespace

std::variant<KeywordQuery, std::string> ParseKeywordQuery(const Params& params) {
    KeywordQuery query;
    const std::string* term = Single(params, "q");
    if (!term || term->empty()) return std::string("the query has no term (q)");
    query.term = *term;

    const std::string* start = Single(params, "start-index");
    std::optional<int> startIndex = start ? ParseCount(*start) : std::nullopt;
    if (!startIndex || *startIndex < 1) return std::string("start-index must be a number from 1");
    query.startIndex = *startIndex;

    const std::string* max = Single(params, "max-results");
    std::optional<int> maxResults = max ? ParseCount(*max) : std::nullopt;
    if (!maxResults || *maxResults < 1 || *maxResults > 50)
        return std::string("max-results must be a number from 1 to 50");
    query.maxResults = *maxResults;

    const std::string* version = Single(params, "v");
    if (!version || *version != "2") return std::string("keyword queries ask for v=2");
    const std::string* format = Single(params, "format");
    if (!format || *format != "5") return std::string("keyword queries ask for format=5");

    if (const std::string* order = Single(params, "orderby")) {
        if (*order != "viewCount" && *order != "published" && *order != "relevance")
            return std::string("orderby must be viewCount, published or relevance");
        query.orderBy = *order;
    }
    return query;
}

namespace {

struct TermParts {
    std::string_view words;
    int size;
};

TermParts SplitTerm(std::string_view term) {
    const std::size_t dash = term.rfind('-');
    if (dash != std::string_view::npos) {
        if (std::optional<int> count = ParseCount(std::string(term.substr(dash + 1))))
            return {term.substr(0, dash), std::min(*count, kLargestCatalogue)};
    }
    return {term, kDefaultCatalogue};
}

}  // namespace

int CatalogueSize(std::string_view term) { return SplitTerm(term).size; }

std::string KeywordFeed(const KeywordQuery& query, std::string_view host) {
    const auto [words, total] = SplitTerm(query.term);
    const std::string topic = EscapeXml(TopicOf(words));

    std::string feed = FeedHead("tag:youtube.com,2008:videos",
                                "YouTube Videos matching query: " + EscapeXml(query.term), total,
                                query.startIndex, query.maxResults);
    const int last = std::min(total, query.startIndex + query.maxResults - 1);
    for (int position = query.startIndex; position <= last; ++position) {
        // Newest first when sorted by date; by views (and otherwise) in catalogue order.
        const int index = query.orderBy == "published" ? total + 1 - position : position;
        const std::string id = VideoId(query.term, index);
        const std::uint64_t seed = Hash(id);
        const std::string title = VideoTitle(topic, seed, index);
        const long views = 5'000'000L / index + static_cast<long>(seed % 1000);
        feed += "<entry gd:etag='W/&quot;" + std::to_string(seed % 100000) + "&quot;'>";
        feed += "<id>tag:youtube.com,2008:video:" + id + "</id>";
        feed += "<published>" + Timestamp(seed) + "</published>";
        feed += "<title>" + title + "</title>";
        feed += "<content type='application/x-shockwave-flash' src='http://" + std::string(host) + "/v/" + id +
                "?version=3&amp;f=videos'/>";
        feed += "<link rel='alternate' type='text/html' href='http://" + std::string(host) + "/watch?v=" + id +
                "&amp;feature=youtube_gdata'/>";
        feed += "<author><name>channel" + std::to_string(seed % 97) + "</name></author>";
        feed += "<media:group><media:title type='plain'>" + title + "</media:title><yt:duration seconds='" +
                std::to_string(30 + seed % 900) + "'/><yt:videoid>" + id + "</yt:videoid></media:group>";
        feed += "<yt:statistics favoriteCount='0' viewCount='" + std::to_string(views) + "'/></entry>\n";
    }
    feed += "</feed>\n";
    return feed;
}

bool IsVideoId(std::string_view id) {
    if (id.empty() || id.size() > 64) return false;
    return std::all_of(id.begin(), id.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
    });
}

std::string RelatedFeed(std::string_view videoId, std::string_view host) {
    const std::string base = "http://" + std::string(host) + "/feeds/api/videos/";
    const int count = videoId.starts_with("none-") ? 0 : kRelatedCount;
    std::string feed = FeedHead(base + std::string(videoId) + "/related",
                                "Videos related to '" + std::string(videoId) + "'", count, 1, count);
    for (int k = 0; k < count; ++k) {
        // The video itself is among its related videos, as the service tends to answer.
        const std::string id = k == 3 ? std::string(videoId) : VideoId("related:" + std::string(videoId), k);
        const std::uint64_t seed = Hash(id);
        const std::string title = VideoTitle("Similar Clip", seed, k + 1);
        feed += "<entry><id>" + base + id + "</id>";
        feed += "<published>" + Timestamp(seed) + "</published>";
        feed += "<title type='text'>" + title + "</title>";
        feed += "<content type='text'>A video related to " + std::string(videoId) + ".</content>";
        feed += "<link rel='alternate' type='text/html' href='http://" + std::string(host) + "/watch?v=" + id + "'/>";
        feed += "<media:group><media:title type='plain'>" + title + "</media:title><yt:videoid>" + id +
                "</yt:videoid></media:group></entry>\n";
    }
    feed += "</feed>\n";
    return feed;
}

}  // namespace qen::feedsim
