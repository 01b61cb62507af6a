#pragma once
// Small video feeds, a scripted network and a store for the video catalogue's tests.
#include <cstdio>
#include <string>
#include <vector>

#include "fakes/FakeFetcher.h"
#include "fakes/FakeUi.h"
#include "store/VideoStore.h"
#include "videos/VideoFeedClient.h"

namespace qen::test {

inline constexpr const char* kFeedHost = "feeds.test";
inline constexpr const char* kThumbHost = "thumbs.test";

// Eleven characters, like the service's ids: "<prefix>" padded with the number.
inline std::string VideoId(const std::string& prefix, int n) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", static_cast<int>(11 - prefix.size()), n);
    return prefix + digits;
}

inline std::vector<VideoEntry> Videos(const std::string& prefix, int count, int first = 1) {
    std::vector<VideoEntry> videos;
    for (int n = first; n < first + count; ++n) videos.push_back({VideoId(prefix, n), "Video title " + prefix + std::to_string(n)});
    return videos;
}

inline std::vector<std::string> Ids(const std::vector<VideoEntry>& videos) {
    std::vector<std::string> ids;
    for (const auto& video : videos) ids.push_back(video.id);
    return ids;
}

// One entry of a keyword feed, shaped as the service writes it.
inline std::string KeywordEntry(const std::string& id, const std::string& title) {
    return "<entry gd:etag='W/\"x\"'><id>tag:youtube.com,2008:video:" + id + "</id><title>" + title +
           "</title><media:group><yt:videoid>" + id + "</yt:videoid></media:group></entry>\n";
}

inline std::string KeywordFeed(const std::vector<VideoEntry>& videos) {
    std::string feed = "<?xml version='1.0' encoding='UTF-8'?><feed xmlns='http://www.w3.org/2005/Atom'>\n";
    for (const auto& video : videos) feed += KeywordEntry(video.id, video.title);
    return feed + "</feed>";
}

inline const std::string kQuotaFeed =
    "<?xml version='1.0' encoding='UTF-8'?><errors><error><domain>yt:quota</domain>"
    "<code>too_many_recent_calls</code></error></errors>";

// One entry of a related-videos feed: the id element holds the video's feed address.
inline std::string RelatedEntry(const std::string& reference, const std::string& title) {
    return "<entry><id>" + reference + "</id><published>2010-01-01</published><title type='text'>" + title +
           "</title></entry>\n";
}

inline std::string RelatedFeed(const std::vector<VideoEntry>& videos) {
    std::string feed = "<?xml version='1.0' encoding='UTF-8'?><feed>\n";
    for (const auto& video : videos)
        feed += RelatedEntry(std::string("http://") + kFeedHost + "/feeds/api/videos/" + video.id, video.title);
    return feed + "</feed>";
}

inline std::string KeywordUrl(const std::string& term, int startIndex) {
    return KeywordQueryAddress(kFeedHost, term, startIndex, 0);
}

// Batch n (from 1) of a term's run.
inline std::string BatchUrl(const std::string& term, int batch) { return KeywordUrl(term, 1 + (batch - 1) * 50); }

inline std::string RelatedUrl(const std::string& id) { return RelatedVideosAddress(kFeedHost, id); }

struct VideoFixture {
    FakeUi ui;
    FakeFetcher fetcher;
    VideoStore store;

    std::vector<std::string> RequestedUrls() const {
        std::vector<std::string> urls;
        for (const auto& request : fetcher.requests) urls.push_back(request.url);
        return urls;
    }
};

}  // namespace qen::test
