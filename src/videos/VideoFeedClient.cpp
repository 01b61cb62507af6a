#include "videos/VideoFeedClient.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "text/HtmlText.h"
#include "text/TagScanners.h"
#include "text/TextOps.h"
#include "videos/FeedText.h"
#include "videos/VideoRunState.h"

namespace qen {

namespace {

constexpr const char* kNoVideosFetched = "The software was unable to fetch any videos\n\nPlease try again later";

std::string FeedErrorMessage(const std::string& consequence) {
    return std::string("There is an error with the ") + kVideoSiteLabel + " feed data\n\n" + consequence;
}

// Ids and titles this short are no videos; they are passed over and counted nowhere.
constexpr std::size_t kShortestField = 5;

// The title of a feed entry and the one other field a feed names its video by.
struct EntryFields {
    std::string_view title, reference;
};

EntryFields ReadEntry(std::string_view entry, const char* referenceTag) {
    std::size_t at = 0;
    const std::string_view title = ExtractTagContent(entry, "title", at);
    at = 0;
    return {title, ExtractTagContent(entry, referenceTag, at)};
}

bool UsableVideo(std::string_view id, std::string_view title) {
    return id.size() > kShortestField && title.size() > kShortestField && IsVideoIdText(id);
}

bool TitleHoldsExcludedWord(std::string_view title, const std::vector<std::string>& excludedWords) {
    if (excludedWords.empty()) return false;
    const std::string lower = ToLowerCp1252(title);
    // An empty word is found in every title.
    return std::any_of(excludedWords.begin(), excludedWords.end(),
                       [&](const std::string& word) { return lower.find(word) != std::string::npos; });
}

}  // namespace

std::string QuotaMessage(const std::string& consequence) {
    return std::string(kVideoSiteLabel) + " is reporting that there have been too many recent calls to the " +
           kVideoSiteLabel + " RSS feed API from your IP address\n\n" + consequence;
}

std::string KeywordQueryAddress(const std::string& feedHost, const std::string& term, int startIndex,
                                int sortOrder) {
    std::string address = "http://" + feedHost + "/feeds/api/videos?q=" + term +
                          "&start-index=" + std::to_string(startIndex) + "&max-results=" +
                          std::to_string(VideoFeedClient::kBatchSize) + "&v=2&format=5";
    if (sortOrder == 0) address += "&orderby=viewCount";
    if (sortOrder == 1) address += "&orderby=published";
    return address;
}

std::string RelatedVideosAddress(const std::string& feedHost, const std::string& videoId) {
    return "http://" + feedHost + "/feeds/api/videos/" + videoId + "/related";
}

VideoFeedClient::VideoFeedClient(Fetcher& fetcher, VideoStore& store, std::string feedHost)
    : fetcher_(fetcher), store_(store), feedHost_(std::move(feedHost)) {}

// What one keyword run has gathered so far.
struct VideoFeedClient::KeywordRun {
    bool keep = false;
    std::size_t maximum = 0;
    std::vector<VideoEntry> batchList;  // the new videos, in the order found
    std::unordered_set<std::string> batchIds;
    std::unordered_set<std::string> knownIds;  // current and deleted ids, when keeping
    std::size_t rejected = 0;

    std::size_t Found() const { return batchList.size(); }
    bool Full(const VideoStore& store) const {
        return Found() >= maximum || store.CurrentVideos.size() + Found() >= UserData::kMaxCurrentVideos;
    }
};

void VideoFeedClient::ReadKeywordEntries(const std::string& feedText, KeywordRun& run) {
    std::size_t position = 0;
    for (;;) {
        const std::string_view entry = ExtractTagContent(feedText, "entry", position);
        if (entry.empty()) return;
        const auto [title, id] = ReadEntry(entry, "yt:videoid");
        if (!UsableVideo(id, title)) continue;

        const std::string idText(id);
        const bool known = run.batchIds.count(idText) > 0 || (run.keep && run.knownIds.count(idText) > 0);
        if (known || TitleHoldsExcludedWord(title, excludedWords_)) {
            ++run.rejected;
            continue;
        }
        run.batchIds.insert(idText);
        run.batchList.push_back({idText, CutTitle(title)});
        if (run.Full(store_)) return;
    }
}

KeywordFetch VideoFeedClient::FetchKeywordVideos(bool keep, std::string keywordList, int maximum, int sortOrder,
                                                const bool& cancel, const BatchStarted& batchStarted) {
    KeywordFetch ended;
    auto fail = [&ended](std::string message) {
        ended.outcome = Outcome::Failure(std::move(message));
        return ended;
    };
    // A cancelled run keeps only what the fetcher said about the batch it cut short.
    auto cancelled = [&ended] {
        ended.cancelled = true;
        return ended;
    };
    if (!keep) store_.ClearCurrentVideos();
    if (sortOrder < 0 || sortOrder > 2) sortOrder = 0;

    KeywordRun run;
    run.keep = keep;
    run.maximum = static_cast<std::size_t>(std::clamp(maximum, 0, kMaxNewVideos));
    if (keep) {
        for (const VideoEntry& video : store_.CurrentVideos) run.knownIds.insert(video.id);
        for (const std::string& id : store_.DeletedVideoIds) run.knownIds.insert(id);
    }

    // A Cancel while a batch waits ends that wait at once, and the run as between batches.
    const CancelWatch watch(fetcher_, cancel);
    std::string term = NextKeyword(keywordList);
    const std::string firstTerm = term;
    int startIndex = 1;
    for (int batch = 1; !term.empty(); ++batch) {
        if (cancel) return cancelled();
        if (batchStarted) batchStarted("Fetching Video Batch " + std::to_string(batch));

        FetchedText fetched =
            fetcher_.FetchFeedText(FetchChannel::Videos, KeywordQueryAddress(feedHost_, term, startIndex, sortOrder));
        ended.fetchReport = std::move(fetched.report);
        const std::string& feedText = fetched.text;
        if (cancel) return cancelled();
        const bool gotSomething = run.Found() > 0 || run.rejected > 0;
        if (!HoldsFeedDocument(feedText)) {
            if (gotSomething) break;
            return fail(FeedErrorMessage(kNoVideosFetched));
        }
        if (ReportsCallQuota(feedText)) {
            ended.quotaReached = true;
            if (gotSomething) break;
            return fail(QuotaMessage(kNoVideosFetched));
        }

        ReadKeywordEntries(feedText, run);
        if (run.Full(store_)) break;

        startIndex += kBatchSize;
        if (startIndex > kLastStartIndex) {
            term = NextKeyword(keywordList);
            startIndex = 1;
        }
    }

    if (run.Found() == 0 && run.rejected == 0) return fail("Unable to find any videos for keyword: " + firstTerm);

    auto& current = store_.CurrentVideos;
    std::size_t found = run.Found();
    if (current.size() + found > UserData::kMaxCurrentVideos) {
        found = current.size() < UserData::kMaxCurrentVideos ? UserData::kMaxCurrentVideos - current.size() : 0;
        if (found == 0)
            return fail("The software already has the maximum number of " +
                        std::to_string(UserData::kMaxCurrentVideos) + " videos\n\nNo more videos can be added");
    }
    current.insert(current.begin(), std::make_move_iterator(run.batchList.begin()),
                   std::make_move_iterator(run.batchList.begin() + static_cast<std::ptrdiff_t>(found)));
    ended.count = static_cast<int>(current.size());
    return ended;
}

Outcome VideoFeedClient::FetchRelatedVideos(const std::string& videoId, std::vector<VideoEntry>& related) {
    FetchedText fetched = fetcher_.FetchFeedText(FetchChannel::Videos, RelatedVideosAddress(feedHost_, videoId));
    const std::string& feedText = fetched.text;
    if (feedText.empty()) return fetched.report ? Outcome::Failure({}) : std::move(fetched.report);
    if (!HoldsFeedDocument(feedText))
        return Outcome::Failure(
            FeedErrorMessage("The software was unable to fetch any related videos\n\nPlease try again later"));
    if (ReportsCallQuota(feedText)) return Outcome::Failure(QuotaMessage(kNoVideosFetched));

    std::unordered_set<std::string> listed;
    for (const VideoEntry& video : related) listed.insert(video.id);
    std::size_t position = 0;
    while (related.size() < VideoRunState::kMaxRelatedVideos) {
        const std::string_view entry = ExtractTagContent(feedText, "entry", position);
        if (entry.empty()) break;
        const auto [title, reference] = ReadEntry(entry, "id");
        if (reference.substr(0, 7) != "http://") continue;
        const std::size_t slash = reference.rfind('/');
        const std::string_view id = slash == std::string_view::npos ? reference : reference.substr(slash + 1);
        if (!UsableVideo(id, title) || !listed.insert(std::string(id)).second) continue;
        related.push_back({std::string(id), CutTitle(title)});
    }
    return Outcome::Success();
}

}  // namespace qen
