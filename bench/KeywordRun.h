#pragma once
// A whole keyword run as the "Get Latest Videos" dialog makes it, through the program's
// fetcher and feed client, against the video feed host given.
#include <chrono>
#include <memory>
#include <string>

#include "platform/curl/CurlTransport.h"
#include "platform/headless/Headless.h"
#include "store/VideoStore.h"
#include "videos/VideoFeedClient.h"
#include "web/DownloadFetcher.h"

namespace qen::bench {

constexpr const char* kNiche = "Dog Training";
constexpr int kBatches = 20;

// The program's fetcher, with the time spent waiting for it added up.
class TimedFetcher : public qen::Fetcher {
public:
    explicit TimedFetcher(qen::Fetcher& inner) : inner_(inner) {}

    qen::FetchedText FetchFeedText(qen::FetchChannel channel, const std::string& url) override {
        const auto start = std::chrono::steady_clock::now();
        qen::FetchedText fetched = inner_.FetchFeedText(channel, url);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return fetched;
    }
    qen::FetchedText FetchArticlePage(const std::string& url) override { return inner_.FetchArticlePage(url); }
    std::string FetchUpdateText(const std::string& url) override { return inner_.FetchUpdateText(url); }
    std::string FetchUpdateBinary(const std::string& url) override { return inner_.FetchUpdateBinary(url); }
    qen::UpdateFileDownload FetchUpdateFile(const std::string& url, std::unique_ptr<qen::FileSave> file,
                                            std::uint64_t maxBytes) override {
        return inner_.FetchUpdateFile(url, std::move(file), maxBytes);
    }
    bool Busy() const override { return inner_.Busy(); }
    void WatchCancelFlag(const bool* cancel) override { inner_.WatchCancelFlag(cancel); }

    double seconds = 0;

private:
    qen::Fetcher& inner_;
};

class KeywordRun {
public:
    explicit KeywordRun(const std::string& host)
        : fetcher_(ui_, std::make_shared<qen::CurlTransport>()), timed_(fetcher_), client_(timed_, store_, host) {
        // The demo niche's exclusion words: some titles of every batch are turned away.
        client_.SetExcludedWords({"prank", "meme", "compilation"});
    }

    // Seconds for one run from an empty store; negative when it did not ask for all twenty
    // batches or found nothing.
    double Seconds() {
        int batches = 0;
        const bool cancel = false;
        const auto start = std::chrono::steady_clock::now();
        const qen::KeywordFetch fetched = client_.FetchKeywordVideos(
            false, kNiche, qen::VideoFeedClient::kMaxNewVideos, 0, cancel, [&](const std::string&) {
                ++batches;
                ui_.PumpMessages();
            });
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        found_ = fetched.count;
        if (!fetched.fetchReport) report_ = fetched.fetchReport.Message();
        return batches == kBatches && fetched.count > 0 ? seconds : -1;
    }

    int Found() const { return found_; }
    double FetchSeconds() const { return timed_.seconds; }
    // The fetcher's message for the last batch that failed, if one did.
    const std::string& Report() const { return report_; }

private:
    qen::HeadlessUi ui_;
    qen::DownloadFetcher fetcher_;
    TimedFetcher timed_;
    qen::VideoStore store_;
    qen::VideoFeedClient client_;
    int found_ = 0;
    std::string report_;
};

}  // namespace qen::bench
