#include "web/DownloadFetcher.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <utility>

#include "platform/Waiting.h"
#include "text/TextEncoding.h"
#include "web/SiteLabels.h"
#include "web/TransferSinks.h"

namespace qen {

using Clock = std::chrono::steady_clock;

struct DownloadFetcher::Completion {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    // Complete when the data was kept (possibly none); ReadFailed also stands for a
    // transfer that was stopped without reaching the cut.
    TransferPhase phase = TransferPhase::Complete;
    std::string reason;
    std::size_t received = 0;
    // The window whose messages the caller is handling meanwhile, woken at the end; set
    // only while the caller waits, so a worker left behind never touches it later.
    Waiting* waiter = nullptr;

    // Once the worker's thread is free again, so that the next transfer finds it waiting.
    void Release() {
        std::lock_guard lock(mutex);
        done = true;
        if (waiter) waiter->Wake();
        finished.notify_all();
    }
};

// Everything a worker touches is owned by the job itself or never freed, so a worker
// left behind at its time limit stays safe even after the fetcher is gone.
struct DownloadFetcher::WorkerJob {
    std::shared_ptr<HttpTransport> transport;
    std::shared_ptr<TransferSink> sink;
    std::string url;
    Clock::time_point deadline;
    std::shared_ptr<Completion> completion;
};

TransferResult DownloadFetcher::PerformGet(const WorkerJob& job, bool& cut) {
    TransferRequest request;
    request.url = job.url;
    request.sink = [&job, &cut](const char* data, std::size_t size) {
        switch (job.sink->Add(data, size)) {
            case TransferSink::Take::Taken:
                return true;
            case TransferSink::Take::Cut:
                cut = true;
                return false;
            case TransferSink::Take::Stale:
            case TransferSink::Take::Refused:
                return false;
        }
        return false;
    };
    // The deadline matters where the transfer runs on the waiting thread itself.
    request.keepGoing = [&job] { return job.sink->IsCurrent() && Clock::now() < job.deadline; };
    try {
        return job.transport->Get(request);
    } catch (const std::exception& error) {
        return {TransferPhase::NoSession, error.what()};
    } catch (...) {
        return {TransferPhase::NoSession, ""};
    }
}

void DownloadFetcher::RunWorker(const WorkerJob& job) {
    bool cut = false;
    TransferResult result = PerformGet(job, cut);
    // A resource that reached the cut is complete as far as anyone will ever see.
    const bool keep = cut || result.phase == TransferPhase::Complete;
    const std::optional<std::size_t> received = job.sink->Finish(keep);
    if (!received) return;  // a later transfer has begun: leave no trace, no one waits

    TransferPhase phase = result.phase;
    if (keep)
        phase = TransferPhase::Complete;
    else if (phase == TransferPhase::Stopped)
        phase = TransferPhase::ReadFailed;
    {
        std::lock_guard lock(job.completion->mutex);
        job.completion->phase = phase;
        job.completion->reason = keep ? std::string() : std::move(result.reason);
        job.completion->received = *received;
    }
}

namespace {

const char* SiteLabel(FetchChannel channel) {
    switch (channel) {
        case FetchChannel::Articles:
            return kArticleSiteLabel;
        case FetchChannel::Videos:
            return kVideoSiteLabel;
        case FetchChannel::Update:
            break;
    }
    return nullptr;
}

std::string UpToFirstZero(std::string_view data) { return std::string(data.substr(0, data.find('\0'))); }

}  // namespace

DownloadFetcher::DownloadFetcher(Waiting& window, std::shared_ptr<HttpTransport> transport, FetchLimits limits,
                                 ThreadStarter startThread)
    : window_(window),
      transport_(std::move(transport)),
      limits_(limits),
      buffer_(DownloadBuffer::ForProcess()),
      workers_(std::move(startThread)) {}

DownloadFetcher::~DownloadFetcher() {
    AbandonTransfers();
    workers_.Close(limits_.shutdownGrace);
}

void DownloadFetcher::AbandonTransfers() {
    abandoned_ = true;
    if (running_) running_->Abandon();
}

std::size_t DownloadFetcher::ReceivedLength(FetchChannel channel) const {
    return channels_[static_cast<std::size_t>(channel)].received;
}

std::optional<DownloadFetcher::TransferOutcome> DownloadFetcher::Transfer(FetchChannel channel, const std::string& url,
                                                                         const std::shared_ptr<TransferSink>& sink) {
    ChannelState& state = channels_[static_cast<std::size_t>(channel)];
    state.url = url;
    state.received = 0;
    abandoned_ = false;

    const Clock::time_point deadline =
        Clock::now() + (channel == FetchChannel::Update ? limits_.update : limits_.feed);
    running_ = sink;
    auto completion = std::make_shared<Completion>();
    const std::function<void()> job = [work = WorkerJob{transport_, sink, url, deadline, completion}] {
        RunWorker(work);
    };
    const std::function<void()> release = [completion] { completion->Release(); };
    try {
        workers_.Run(job, release);
    } catch (const std::system_error&) {
        // No thread to be had: the transfer runs here, still bounded by the deadline.
        job();
        release();
    }

    std::unique_lock lock(completion->mutex);
    while (!completion->done) {
        const Clock::time_point now = Clock::now();
        bool giveUp = now >= deadline;
        if (!giveUp) {
            const auto upTo = std::chrono::ceil<std::chrono::milliseconds>(
                std::min<Clock::duration>(limits_.slice, deadline - now));
            completion->waiter = &window_;
            lock.unlock();
            const bool handled = window_.WaitForMessages(upTo);
            lock.lock();
            completion->waiter = nullptr;
            if (!handled) completion->finished.wait_for(lock, upTo, [&] { return completion->done; });
            if (completion->done) break;
            // The messages handled may have begun the closing of the program, or a Cancel.
            giveUp = abandoned_ || window_.TerminationRequested() || (cancel_ && *cancel_);
        }
        if (giveUp) {
            lock.unlock();
            sink->Abandon();
            running_.reset();
            return std::nullopt;
        }
    }
    running_.reset();
    TransferOutcome outcome{completion->phase, std::move(completion->reason), completion->received};
    lock.unlock();
    if (outcome.phase == TransferPhase::Complete) state.received = outcome.received;
    return outcome;
}

Outcome DownloadFetcher::ReportFor(FetchChannel channel, const TransferOutcome& outcome) const {
    const char* label = SiteLabel(channel);
    if (!label) return Outcome::Success();
    const std::string& url = channels_[static_cast<std::size_t>(channel)].url;
    std::string text = std::string("Unable to access ") + label + "\n\nError: ";
    switch (outcome.phase) {
        case TransferPhase::NoSession:
            text += "InternetOpen failed";
            break;
        case TransferPhase::NoAnswer:
            text += "InternetOpenUrl failed\n\nURL: " + url;
            break;
        case TransferPhase::Complete:
            if (outcome.received != 0) return Outcome::Success();
            text += "InternetReadFile failed\n\nURL: " + url;
            break;
        case TransferPhase::Stopped:
        case TransferPhase::ReadFailed:
            return Outcome::Success();
    }
    if (!outcome.reason.empty()) text += "\n\n" + outcome.reason;
    return Outcome::Failure(std::move(text));
}

bool DownloadFetcher::Fetch(FetchChannel channel, const std::string& url, const std::shared_ptr<TransferSink>& sink,
                            Outcome& report) {
    if (!MayStart()) return false;
    busy_ = true;
    struct BusyFlag {
        bool& flag;
        ~BusyFlag() { flag = false; }
    } busyFlag{busy_};

    std::optional<TransferOutcome> outcome;
    {
        BusyCursor cursor(window_);
        outcome = Transfer(channel, url, sink);
    }
    if (!outcome) return false;  // out of time: no message
    report = ReportFor(channel, *outcome);
    return outcome->phase == TransferPhase::Complete;
}

bool DownloadFetcher::MayStart() const {
    // Messages are pumped while a fetch waits, so a click can try to start another one;
    // it would overwrite the buffer in use, so it is turned away. So is one asked for
    // while the program ends.
    return !busy_ && !window_.TerminationRequested();
}

bool DownloadFetcher::FetchIntoBuffer(FetchChannel channel, const std::string& url, Outcome& report) {
    // Beginning a buffer transfer makes the one in the buffer stale: not while it is waited for.
    if (!MayStart()) return false;
    return Fetch(channel, url, std::make_shared<BufferSink>(buffer_), report);
}

FetchedText DownloadFetcher::FetchFeedText(FetchChannel channel, const std::string& url) {
    FetchedText fetched;
    if (!FetchIntoBuffer(channel, url, fetched.report)) return fetched;
    try {
        fetched.text = DecodeDownloadedText(buffer_.Received());
    } catch (const std::bad_alloc&) {
        fetched.report = Outcome::Failure("Insufficient memory for Unicode conversion buffer");
    }
    return fetched;
}

FetchedText DownloadFetcher::FetchArticlePage(const std::string& url) {
    FetchedText fetched;
    if (FetchIntoBuffer(FetchChannel::Articles, url, fetched.report)) fetched.text = UpToFirstZero(buffer_.Received());
    return fetched;
}

std::string DownloadFetcher::FetchUpdateResource(const std::string& url, bool textMode) {
    // Text and binary transfers differ only in what the caller gets: HTTP carries both alike.
    Outcome silent = Outcome::Success();
    if (!FetchIntoBuffer(FetchChannel::Update, url, silent)) return {};
    return textMode ? UpToFirstZero(buffer_.Received()) : std::string(buffer_.Received());
}

std::string DownloadFetcher::FetchUpdateText(const std::string& url) { return FetchUpdateResource(url, true); }

std::string DownloadFetcher::FetchUpdateBinary(const std::string& url) { return FetchUpdateResource(url, false); }

UpdateFileDownload DownloadFetcher::FetchUpdateFile(const std::string& url, std::unique_ptr<FileSave> file,
                                                    std::uint64_t maxBytes) {
    using Status = UpdateFileDownload::Status;
    auto sink = std::make_shared<FileSink>(std::move(file), maxBytes);
    Outcome silent = Outcome::Success();
    const bool kept = Fetch(FetchChannel::Update, url, sink, silent);
    UpdateFileDownload download;
    download.file = sink->TakeFile();
    if (sink->OverLimit()) {
        download.status = Status::TooLarge;
    } else if (const std::optional<FileError> failure = sink->WriteFailure()) {
        download.status = Status::NotWritten;
        download.error = *failure;
    } else if (kept && download.file && download.file->Size() > 0) {
        download.status = Status::Received;
        return download;
    }
    download.file.reset();
    return download;
}

}  // namespace qen
