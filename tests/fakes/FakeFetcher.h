#pragma once
// Scripted network for the callers of Fetcher: each address answers with the text set
// for it (an unknown address answers empty, as a failed fetch does); every request is kept.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "web/Fetcher.h"

namespace qen::test {

struct FetchRequest {
    FetchChannel channel;
    std::string url;
    std::uint64_t maxBytes = 0;  // an update file's limit
};

class FakeFetcher : public Fetcher {
public:
    std::map<std::string, std::string> answers;  // url -> body as the caller receives it
    std::vector<FetchRequest> requests;
    std::set<std::string> overLimit;  // update files that pass their limit as they arrive
    // Feeds and pages that fail with the channel's message (the text is then empty).
    std::map<std::string, std::string> failures;
    bool busy = false;
    const bool* cancelWatched = nullptr;
    // Runs as a fetch waits, as a click during the wait would.
    std::function<void()> duringFetch;

    FetchedText FetchFeedText(FetchChannel channel, const std::string& url) override {
        return Reported(Answer(channel, url), url);
    }
    FetchedText FetchArticlePage(const std::string& url) override {
        return Reported(Answer(FetchChannel::Articles, url), url);
    }
    std::string FetchUpdateText(const std::string& url) override { return Answer(FetchChannel::Update, url); }
    std::string FetchUpdateBinary(const std::string& url) override { return Answer(FetchChannel::Update, url); }
    // The answer goes into the file as the real fetcher writes it: refused whole when over
    // the limit, dropped when empty or missing.
    UpdateFileDownload FetchUpdateFile(const std::string& url, std::unique_ptr<FileSave> file,
                                       std::uint64_t maxBytes) override {
        using Status = UpdateFileDownload::Status;
        const std::string answer = Answer(FetchChannel::Update, url);
        requests.back().maxBytes = maxBytes;
        UpdateFileDownload download;
        if (overLimit.contains(url) || answer.size() > maxBytes)
            download.status = Status::TooLarge;
        else if (!answer.empty() && !file->Append(answer, &download.error))
            download.status = Status::NotWritten;
        else if (!answer.empty())
            download = {Status::Received, std::move(file), {}};
        return download;
    }
    bool Busy() const override { return busy; }
    void WatchCancelFlag(const bool* cancel) override { cancelWatched = cancel; }

private:
    FetchedText Reported(std::string text, const std::string& url) const {
        auto failed = failures.find(url);
        if (failed == failures.end()) return {std::move(text)};
        return {{}, Outcome::Failure(failed->second)};
    }
    std::string Answer(FetchChannel channel, const std::string& url) {
        requests.push_back({channel, url});
        if (duringFetch) duringFetch();
        auto found = answers.find(url);
        return found == answers.end() ? std::string() : found->second;
    }
};

}  // namespace qen::test
