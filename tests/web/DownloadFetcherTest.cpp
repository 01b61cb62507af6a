#include "web/DownloadFetcher.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <filesystem>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "fakes/FakeTransport.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"

namespace qen::test {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

// A user-interface whose message pump can run a step of the test, as a click would,
// and that can be asked to end the program.
class PumpingUi : public FakeUi {
public:
    std::function<void()> onPump;
    bool terminating = false;
    bool TerminationRequested() const override { return terminating; }
    void PumpMessages() override {
        FakeUi::PumpMessages();
        if (!onPump) return;
        auto step = onPump;  // a step may replace itself
        step();
    }
};

using Call = std::function<FetchedText(DownloadFetcher&, const std::string&)>;

// What the caller with the user in front of it does with a fetch: tells its message.
std::string Told(FakeUi& ui, FetchedText fetched) {
    ui.Succeeded(fetched.report);
    return std::move(fetched.text);
}

const Call kVideoFeed = [](DownloadFetcher& f, const std::string& url) {
    return f.FetchFeedText(FetchChannel::Videos, url);
};
const Call kArticleFeed = [](DownloadFetcher& f, const std::string& url) {
    return f.FetchFeedText(FetchChannel::Articles, url);
};
const Call kArticlePage = [](DownloadFetcher& f, const std::string& url) { return f.FetchArticlePage(url); };
const Call kUpdateText = [](DownloadFetcher& f, const std::string& url) { return FetchedText{f.FetchUpdateText(url)}; };
const Call kUpdateBinary = [](DownloadFetcher& f, const std::string& url) {
    return FetchedText{f.FetchUpdateBinary(url)};
};

class DownloadFetcherTest : public ::testing::Test {
protected:
    static FetchLimits ShortLimits() {
        FetchLimits limits;
        limits.feed = 100ms;
        limits.update = 1000ms;
        limits.slice = 10ms;
        limits.shutdownGrace = 2s;
        return limits;
    }

    PumpingUi ui;
    std::shared_ptr<FakeTransport> transport = std::make_shared<FakeTransport>();
    DownloadFetcher fetcher{ui, transport, ShortLimits()};
};

TEST_F(DownloadFetcherTest, EachOperationGivesWhatItsCallerExpects) {
    struct Case {
        const char* name;
        Call call;
        std::vector<std::string> pieces;
        std::string expected;
    };
    const Case cases[] = {
        {"feed declared UTF-8 is converted", kVideoFeed,
         {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><t>Caf", "\xC3\xA9 \xE2\x82\xAC</t>"},
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><t>Caf\xE9 &#8364;</t>"},
        {"feed without declaration is copied", kArticleFeed, {"plain \xC3\xA9"}, "plain \xC3\xA9"},
        {"article page comes raw", kArticlePage,
         {"<?xml version='1.0' encoding='utf-8'?>\xC3\xA9"}, "<?xml version='1.0' encoding='utf-8'?>\xC3\xA9"},
        {"update text ends at its first zero byte", kUpdateText, {"2\r\n\0tail"s}, "2\r\n"},
        {"update binary keeps every byte", kUpdateBinary, {"MZ\0\0"s, "\x01\xFF"s}, "MZ\0\0\x01\xFF"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string url = "http://host.test/"s + c.name;
        transport->Script(url, ScriptedTransfer::Body(c.pieces));
        EXPECT_EQ(Told(ui, c.call(fetcher, url)), c.expected);
    }
    EXPECT_EQ(fetcher.ReceivedLength(FetchChannel::Update), 6u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(DownloadFetcherTest, FailuresAreToldOnTheArticleAndVideoChannelsOnly) {
    struct Case {
        const char* name;
        Call call;
        ScriptedTransfer script;
        std::string message;  // empty: silent
    };
    const std::string url = "http://host.test/feed?q=a&x=1";
    const Case cases[] = {
        {"no session", kArticleFeed, ScriptedTransfer::Ending(TransferPhase::NoSession),
         "Unable to access EzineArticles.com\n\nError: InternetOpen failed"},
        {"no answer, with the client's reason", kVideoFeed,
         ScriptedTransfer::Ending(TransferPhase::NoAnswer, "Couldn't connect to server"),
         "Unable to access YouTube\n\nError: InternetOpenUrl failed\n\nURL: " + url +
             "\n\nCouldn't connect to server"},
        {"empty resource", kArticlePage, ScriptedTransfer::Body({}),
         "Unable to access EzineArticles.com\n\nError: InternetReadFile failed\n\nURL: " + url},
        {"empty feed", kVideoFeed, ScriptedTransfer::Body({}),
         "Unable to access YouTube\n\nError: InternetReadFile failed\n\nURL: " + url},
        {"read error after some data is silent", kVideoFeed,
         ScriptedTransfer::Ending(TransferPhase::ReadFailed, "Connection reset by peer", {"<?xml partial"}), ""},
        {"update channel: no answer", kUpdateText, ScriptedTransfer::Ending(TransferPhase::NoAnswer, "refused"), ""},
        {"update channel: no session", kUpdateBinary, ScriptedTransfer::Ending(TransferPhase::NoSession), ""},
        {"update channel: empty resource", kUpdateBinary, ScriptedTransfer::Body({}), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        transport->Script(url, c.script);
        EXPECT_EQ(Told(ui, c.call(fetcher, url)), "");
        if (c.message.empty()) {
            EXPECT_TRUE(ui.messages.empty());
        } else {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, c.message);
            EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
            EXPECT_EQ(ui.messages[0].buttons, Buttons::Ok);
        }
        EXPECT_EQ(ui.busyDepth, 0);
        EXPECT_FALSE(fetcher.Busy());
    }
}

TEST_F(DownloadFetcherTest, AResourceLargerThanTheBufferIsCutSilently) {
    struct Case {
        const char* name;
        std::vector<std::size_t> pieces;
        std::size_t kept;
        bool stopped;  // the transfer was told to stop at the cut
    };
    const Case cases[] = {
        {"five million bytes in one piece", {5'000'000}, 4'000'000, true},
        {"the cut reached exactly stops the transfer", {3'999'995, 1, 1'000'004}, 3'999'996, true},
        {"just below the cut is all read", {3'999'995}, 3'999'995, false},
        {"small pieces", std::vector<std::size_t>(50, 100'000), 4'000'000, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int refusedBefore = transport->PiecesRefused();
        ScriptedTransfer script;
        std::string sent;
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            script.pieces.emplace_back(c.pieces[i], static_cast<char>('a' + i % 26));
            sent += script.pieces.back();
        }
        const std::string url = "http://host.test/big/"s + c.name;
        transport->Script(url, script);

        const std::string binary = fetcher.FetchUpdateBinary(url);
        EXPECT_EQ(binary.size(), c.kept);
        EXPECT_TRUE(binary == sent.substr(0, c.kept));
        EXPECT_EQ(transport->PiecesRefused() - refusedBefore, c.stopped ? 1 : 0);
        EXPECT_EQ(Told(ui, fetcher.FetchArticlePage(url)).size(), c.kept);  // the zero byte ends the text there
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DownloadFetcherTest, NothingOfALongerEarlierResourceShowsBehindAShorterOne) {
    transport->Script("http://host.test/long", ScriptedTransfer::Body({"AAAAAAAAAAAAAAAAAAAA"}));
    transport->Script("http://host.test/short", ScriptedTransfer::Body({"BB"}));
    for (const Call& call : {kArticlePage, kUpdateText, kVideoFeed, kUpdateBinary}) {
        EXPECT_EQ(Told(ui, call(fetcher, "http://host.test/long")).size(), 20u);
        EXPECT_EQ(Told(ui, call(fetcher, "http://host.test/short")), "BB");
    }
}

TEST_F(DownloadFetcherTest, GivesUpSilentlyAtTheChannelLimitWhileTheWindowKeepsPumping) {
    struct Case {
        const char* name;
        Call call;
        std::chrono::milliseconds limit;
    };
    const Case cases[] = {
        {"video channel", kVideoFeed, ShortLimits().feed},
        {"article channel", kArticlePage, ShortLimits().feed},
        {"update channel", kUpdateBinary, ShortLimits().update},
    };
    transport->Script("http://host.test/hang", ScriptedTransfer::Body({"never"}).Gated());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.pumps = 0;
        const auto start = Clock::now();
        EXPECT_EQ(Told(ui, c.call(fetcher, "http://host.test/hang")), "");
        const auto waited = Clock::now() - start;
        EXPECT_GE(waited, c.limit);
        if (c.limit == ShortLimits().feed) {
            EXPECT_LT(waited, ShortLimits().update);
        }
        EXPECT_GT(ui.pumps, 0);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_FALSE(fetcher.Busy());
        EXPECT_EQ(ui.busyDepth, 0);
    }
    EXPECT_EQ(fetcher.ReceivedLength(FetchChannel::Update), 0u);
}

TEST_F(DownloadFetcherTest, AWorkerLeftBehindNeverTouchesALaterTransfer) {
    struct Case {
        const char* name;
        ScriptedTransfer late;  // what the abandoned worker does once it wakes up
    };
    const Case cases[] = {
        {"late data", ScriptedTransfer::Body({"STALE DATA"}).Gated(false)},
        {"late failure", ScriptedTransfer::Ending(TransferPhase::NoAnswer, "timed out").Gated(false)},
        {"late empty resource", ScriptedTransfer::Body({}).Gated(false)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string stale = "http://host.test/stale/"s + c.name;
        const std::string fresh = "http://host.test/fresh/"s + c.name;
        transport->Script(stale, c.late);
        transport->Script(fresh, ScriptedTransfer::Body({"fresh"}).Gated());
        ui.messages.clear();
        ui.onPump = nullptr;
        EXPECT_EQ(Told(ui, fetcher.FetchFeedText(FetchChannel::Videos, stale)), "");

        // While the next transfer waits, the abandoned worker wakes up and ends.
        ui.onPump = [&] {
            ui.onPump = nullptr;
            transport->Open(stale);
            transport->WaitUntilEnded(stale);
            transport->Open(fresh);
        };
        EXPECT_EQ(Told(ui, fetcher.FetchFeedText(FetchChannel::Articles, fresh)), "fresh");
        EXPECT_TRUE(ui.messages.empty());
    }
    EXPECT_EQ(transport->PiecesRefused(), 1);
}

TEST_F(DownloadFetcherTest, AFetchAskedForWhileAnotherWaitsIsTurnedAway) {
    transport->Script("http://host.test/first", ScriptedTransfer::Body({"first"}).Gated());
    transport->Script("http://host.test/second", ScriptedTransfer::Body({"second"}));
    bool busyWhileWaiting = false;
    int busyCursorWhileWaiting = 0;
    std::vector<std::string> refused;
    ui.onPump = [&] {
        ui.onPump = nullptr;
        busyWhileWaiting = fetcher.Busy();
        busyCursorWhileWaiting = ui.busyDepth;
        refused.push_back(Told(ui, fetcher.FetchFeedText(FetchChannel::Videos, "http://host.test/second")));
        refused.push_back(Told(ui, fetcher.FetchArticlePage("http://host.test/second")));
        refused.push_back(fetcher.FetchUpdateBinary("http://host.test/second"));
        transport->Open("http://host.test/first");
    };

    EXPECT_EQ(Told(ui, fetcher.FetchFeedText(FetchChannel::Articles, "http://host.test/first")), "first");
    EXPECT_TRUE(busyWhileWaiting);
    EXPECT_EQ(busyCursorWhileWaiting, 1);
    EXPECT_EQ(refused, (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(transport->Requests(), std::vector<std::string>{"http://host.test/first"});
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(fetcher.Busy());
    EXPECT_EQ(Told(ui, fetcher.FetchArticlePage("http://host.test/second")), "second");
}

TEST_F(DownloadFetcherTest, GivesUpSilentlyOnceTheProgramIsAskedToEnd) {
    FetchLimits limits = ShortLimits();
    limits.feed = limits.update = 30s;
    DownloadFetcher patient(ui, transport, limits);
    const std::string stuck = "http://host.test/stuck";
    transport->Script(stuck, ScriptedTransfer::Body({"late"}).Gated());
    const Call calls[] = {kVideoFeed, kArticleFeed, kArticlePage, kUpdateText, kUpdateBinary};
    int fetches = 0;
    for (const Call& call : calls) {
        SCOPED_TRACE(fetches);
        ui.terminating = false;
        int pumps = 0;
        ui.onPump = [&] { ui.terminating = ++pumps == 3; };  // the window is closed while the fetch waits
        const auto start = Clock::now();
        EXPECT_EQ(Told(ui, call(patient, stuck)), "");
        EXPECT_LT(Clock::now() - start, 10s);
        EXPECT_EQ(pumps, 3);
        EXPECT_FALSE(patient.Busy());
        EXPECT_EQ(ui.busyDepth, 0);
        // The worker left behind is told to stop and ends.
        transport->WaitUntilEnded(stuck, ++fetches);
    }
    EXPECT_TRUE(ui.messages.empty());

    // Once the program ends, nothing new is fetched at all.
    ui.onPump = nullptr;
    ui.terminating = true;
    transport->Script("http://host.test/after", ScriptedTransfer::Body({"after"}));
    for (const Call& call : calls) EXPECT_EQ(Told(ui, call(patient, "http://host.test/after")), "");
    EXPECT_EQ(transport->Requests(), std::vector<std::string>(std::size(calls), stuck));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DownloadFetcherTest, ACancelWhileWaitingEndsTheWaitAtOnceAndSilently) {
    FetchLimits limits = ShortLimits();
    limits.feed = limits.update = 30s;
    DownloadFetcher patient(ui, transport, limits);
    const std::string stuck = "http://host.test/never-answers";
    transport->Script(stuck, ScriptedTransfer::Body({"late"}).Gated());
    bool cancel = false;
    {
        const CancelWatch watch(patient, cancel);
        int pumps = 0;
        ui.onPump = [&] { cancel = ++pumps == 3; };  // Cancel pressed while the fetch waits
        const auto start = Clock::now();
        EXPECT_EQ(Told(ui, patient.FetchFeedText(FetchChannel::Videos, stuck)), "");
        EXPECT_LT(Clock::now() - start, 10s);
        EXPECT_EQ(pumps, 3);
        EXPECT_FALSE(patient.Busy());
        EXPECT_EQ(ui.busyDepth, 0);
        transport->WaitUntilEnded(stuck, 1);  // the worker left behind is told to stop
    }
    EXPECT_TRUE(ui.messages.empty());

    // Once no flag is watched, a flag left raised stops nothing.
    ui.onPump = nullptr;
    transport->Script("http://host.test/after", ScriptedTransfer::Body({"after"}));
    EXPECT_EQ(Told(ui, patient.FetchFeedText(FetchChannel::Videos, "http://host.test/after")), "after");
}

// A window that sleeps in WaitForMessages as the toolkit's poll does: until Wake, a message,
// or the time given is up.
class SleepingUi : public PumpingUi {
public:
    // Runs as each wait begins, on the waiting thread; true when it stands for a message
    // handled, which ends the wait at once.
    std::function<bool()> onWait;

    bool WaitForMessages(std::chrono::milliseconds upTo) override {
        std::unique_lock lock(mutex_);
        waiting_ = true;
        woken_ = false;
        lock.unlock();
        const auto step = onWait;  // a step may replace itself
        const bool handled = step && step();
        lock.lock();
        if (!handled) ++(woke_.wait_for(lock, upTo, [&] { return woken_; }) ? wokenWaits : sleptOut);
        waiting_ = false;
        return true;
    }
    void Wake() override {
        std::lock_guard lock(mutex_);
        if (!waiting_) ++wakesOutsideAWait;
        woken_ = true;
        woke_.notify_all();
    }
    int Count(const int& counter) {
        std::lock_guard lock(mutex_);
        return counter;
    }

    int wokenWaits = 0;
    int sleptOut = 0;
    int wakesOutsideAWait = 0;

private:
    std::mutex mutex_;
    std::condition_variable woke_;
    bool waiting_ = false;
    bool woken_ = false;
};

TEST_F(DownloadFetcherTest, TheWindowSleepsUntilTheTransferEndsAndIsNeverWokenAfterwards) {
    FetchLimits limits = ShortLimits();
    limits.feed = 60s;
    limits.slice = 30s;
    SleepingUi window;
    DownloadFetcher patient(window, transport, limits);

    const std::string slow = "http://host.test/slow";
    transport->Script(slow, ScriptedTransfer::Body({"slow"}).Gated());
    window.onWait = [&] {
        window.onWait = nullptr;
        transport->Open(slow);  // the answer comes while the window sleeps
        return false;
    };
    EXPECT_EQ(Told(window, patient.FetchFeedText(FetchChannel::Videos, slow)), "slow");
    EXPECT_EQ(window.Count(window.wokenWaits), 1);
    EXPECT_EQ(window.Count(window.sleptOut), 0);

    // The window is closed during a wait; the worker left behind ends later, when the wait
    // it could have woken is long gone.
    const std::string stuck = "http://host.test/stuck";
    transport->Script(stuck, ScriptedTransfer::Body({"late"}).Gated());
    window.onWait = [&] { return window.terminating = true; };
    EXPECT_EQ(Told(window, patient.FetchFeedText(FetchChannel::Videos, stuck)), "");
    transport->Open(stuck);
    transport->WaitUntilEnded(stuck);
    EXPECT_EQ(window.Count(window.wakesOutsideAWait), 0);
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(DownloadFetcherTest, RunsOnTheCallingThreadWhenNoThreadCanStart) {
    DownloadFetcher inline_(ui, transport, ShortLimits(), [](std::function<void()>) {
        throw std::system_error(EAGAIN, std::generic_category(), "no thread");
    });
    transport->Script("http://host.test/here", ScriptedTransfer::Body({"<?xml version='1.0' encoding='UTF-8'?>\xC3\xA9"}));
    EXPECT_EQ(Told(ui, inline_.FetchFeedText(FetchChannel::Videos, "http://host.test/here")),
              "<?xml version='1.0' encoding='UTF-8'?>\xE9");
    EXPECT_EQ(transport->LastThread(), std::this_thread::get_id());

    // Even here a server that never answers cannot hold the program for good.
    transport->Script("http://host.test/hang", ScriptedTransfer::Body({"never"}).Gated());
    EXPECT_EQ(Told(ui, inline_.FetchFeedText(FetchChannel::Videos, "http://host.test/hang")), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DownloadFetcherTest, ClosingDropsAWaitingTransferAndLeavesItsWorkerSafe) {
    const std::string stuck = "http://host.test/stuck";
    transport->Script(stuck, ScriptedTransfer::Body({"late"}).Gated(false));
    {
        FetchLimits limits = ShortLimits();
        limits.feed = 30s;
        limits.shutdownGrace = 20ms;
        PumpingUi closingUi;
        auto closing = std::make_unique<DownloadFetcher>(closingUi, transport, limits);
        closingUi.onPump = [&] { closing->AbandonTransfers(); };  // the window is being closed
        const auto start = Clock::now();
        EXPECT_EQ(Told(closingUi, closing->FetchFeedText(FetchChannel::Videos, stuck)), "");
        EXPECT_LT(Clock::now() - start, 10s);
        EXPECT_TRUE(closingUi.messages.empty());
    }
    // Fetcher and window are gone; the stuck worker wakes up and ends without harm.
    transport->Open(stuck);
    transport->WaitUntilEnded(stuck);
    EXPECT_EQ(transport->PiecesRefused(), 1);
}

// Update files go to disk, not through the download buffer: any size up to the caller's
// limit arrives whole, and whatever goes wrong leaves nothing beside the target.
TEST_F(DownloadFetcherTest, AnUpdateFileArrivesWholeOnDiskOrLeavesNothing) {
    using Status = UpdateFileDownload::Status;
    const std::string megabyte(1'000'000, 'm');
    const struct {
        const char* name;
        ScriptedTransfer answer;
        std::uint64_t limit;
        Status status;
        std::string saved;  // for Received
    } cases[] = {
        {"pieces", ScriptedTransfer::Body({"ab", "", "cd"}), 100, Status::Received, "abcd"},
        {"larger than the download buffer", ScriptedTransfer::Body({megabyte, megabyte, megabyte, megabyte, "+1"}),
         5'000'000, Status::Received, megabyte + megabyte + megabyte + megabyte + "+1"},
        {"exactly the limit", ScriptedTransfer::Body({"abc", "de"}), 5, Status::Received, "abcde"},
        {"one byte over the limit", ScriptedTransfer::Body({"abc", "def"}), 5, Status::TooLarge, ""},
        {"empty", ScriptedTransfer::Body({}), 100, Status::NothingReceived, ""},
        {"no answer", ScriptedTransfer::Ending(TransferPhase::NoAnswer, "refused"), 100, Status::NothingReceived, ""},
        {"broken off", ScriptedTransfer::Ending(TransferPhase::ReadFailed, "reset", {"abc"}), 100,
         Status::NothingReceived, ""},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const Path target = dir / "QenRuntime2";
        const std::string url = "http://host.test/"s + c.name;
        transport->Script(url, c.answer);

        UpdateFileDownload download = fetcher.FetchUpdateFile(url, FileSave::Begin(target), c.limit);

        EXPECT_EQ(download.status, c.status) << c.name;
        EXPECT_EQ(download.file != nullptr, c.status == Status::Received) << c.name;
        if (download.file) {
            ASSERT_TRUE(download.file->Commit()) << c.name;
            EXPECT_TRUE(ReadFile(target) == c.saved) << c.name;
        }
        EXPECT_FALSE(Exists(SavingPathFor(target))) << c.name;
        EXPECT_TRUE(ui.messages.empty()) << c.name;
    }
}

TEST_F(DownloadFetcherTest, AnUpdateFileLeftBehindIsNeverWrittenAgain) {
    const std::string stuck = "http://host.test/QenRuntime";
    transport->Script(stuck, ScriptedTransfer::Body({"late program bytes"}).Gated(false));
    TempDir dir;
    const Path target = dir / "QenRuntime2";
    bool cancel = false;
    {
        const CancelWatch watch(fetcher, cancel);
        ui.onPump = [&] { cancel = true; };
        const UpdateFileDownload download = fetcher.FetchUpdateFile(stuck, FileSave::Begin(target), 100);
        EXPECT_EQ(download.status, UpdateFileDownload::Status::NothingReceived);
        EXPECT_FALSE(download.file);
    }
    EXPECT_FALSE(Exists(SavingPathFor(target)));

    // The worker wakes up after the cancel: its bytes are refused and no file reappears.
    transport->Open(stuck);
    transport->WaitUntilEnded(stuck);
    EXPECT_EQ(transport->PiecesRefused(), 1);
    EXPECT_FALSE(Exists(SavingPathFor(target)));
    EXPECT_FALSE(Exists(target));
}

}  // namespace
}  // namespace qen::test
