#pragma once
// The program's Fetcher: each transfer runs on a worker thread that serves the fetcher's
// life and reads the resource into the process's DownloadBuffer (an update file into its
// file), while the calling (user-interface) thread waits for it and keeps the window
// alive. Failures of the article and video channels come back as their messages once the
// transfer has ended; the update channel stays silent.
#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/Outcome.h"
#include "platform/HttpTransport.h"
#include "web/DownloadBuffer.h"
#include "web/Fetcher.h"
#include "web/TransferWorkers.h"

namespace qen {

class TransferSink;
class Waiting;

struct FetchLimits {
    std::chrono::milliseconds feed{10'200};    // article and video channels
    std::chrono::milliseconds update{60'200};  // update channel
    // How long a wait goes without looking at its time limit when no message comes; a
    // message that cancels or ends the program is looked at as soon as it is handled.
    std::chrono::milliseconds slice{200};
    // How long closing waits for abandoned workers before leaving them behind.
    std::chrono::milliseconds shutdownGrace{1'500};
};

class DownloadFetcher : public Fetcher {
public:
    DownloadFetcher(Waiting& window, std::shared_ptr<HttpTransport> transport, FetchLimits limits = {},
                    ThreadStarter startThread = StartDetachedThread);
    // Abandons what still runs and gives its workers a short grace to end.
    ~DownloadFetcher() override;
    DownloadFetcher(const DownloadFetcher&) = delete;
    DownloadFetcher& operator=(const DownloadFetcher&) = delete;

    FetchedText FetchFeedText(FetchChannel channel, const std::string& url) override;
    FetchedText FetchArticlePage(const std::string& url) override;
    std::string FetchUpdateText(const std::string& url) override;
    std::string FetchUpdateBinary(const std::string& url) override;
    UpdateFileDownload FetchUpdateFile(const std::string& url, std::unique_ptr<FileSave> file,
                                       std::uint64_t maxBytes) override;
    bool Busy() const override { return busy_; }
    void WatchCancelFlag(const bool* cancel) override { cancel_ = cancel; }

    // Text mode: the data up to its first zero byte; binary mode: every byte received.
    std::string FetchUpdateResource(const std::string& url, bool textMode);

    // For shutdown: every transfer still running is dropped and told to stop; returns at once.
    void AbandonTransfers();

    // The number of data bytes of the channel's last completed transfer.
    std::size_t ReceivedLength(FetchChannel channel) const;

private:
    struct ChannelState {
        std::string url;
        std::size_t received = 0;
    };
    struct Completion;  // what a worker hands back
    struct WorkerJob;   // everything a worker touches
    struct TransferOutcome {
        TransferPhase phase;  // Complete, NoSession, NoAnswer or ReadFailed
        std::string reason;
        std::size_t received;
    };

    // One whole fetch: refused while another waits or the program ends; busy cursor,
    // transfer, and the channel's message in `report` for a failure it reports.
    // True when the data was kept; the sink then holds it.
    bool Fetch(FetchChannel channel, const std::string& url, const std::shared_ptr<TransferSink>& sink,
               Outcome& report);
    bool MayStart() const;
    // A fetch into the download buffer.
    bool FetchIntoBuffer(FetchChannel channel, const std::string& url, Outcome& report);
    // Starts the worker and waits for it; nullopt when the limit passed first, or the
    // transfer was abandoned or the program is ending.
    std::optional<TransferOutcome> Transfer(FetchChannel channel, const std::string& url,
                                            const std::shared_ptr<TransferSink>& sink);
    // What the user is told of a transfer: the channel's message for a failure it reports,
    // else success (the update channel reports nothing).
    Outcome ReportFor(FetchChannel channel, const TransferOutcome& outcome) const;
    static void RunWorker(const WorkerJob& job);
    static TransferResult PerformGet(const WorkerJob& job, bool& cut);

    Waiting& window_;
    std::shared_ptr<HttpTransport> transport_;
    FetchLimits limits_;
    DownloadBuffer& buffer_;
    TransferWorkers workers_;
    std::array<ChannelState, 3> channels_{};
    std::shared_ptr<TransferSink> running_;  // the transfer being waited for
    bool busy_ = false;
    bool abandoned_ = false;
    const bool* cancel_ = nullptr;
};

}  // namespace qen
