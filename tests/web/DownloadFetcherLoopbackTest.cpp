// The fetcher with the real libcurl transport against the loopback simulator: every
// answer and every fault a server can produce, end to end.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "fakes/FakeUi.h"
#include "fakes/ScopedEnvironment.h"
#include "fakes/TempDir.h"
#include "fakes/TestHttpServer.h"
#include "platform/curl/CurlTransport.h"
#include "web/DownloadFetcher.h"

namespace qen::test {
namespace {

// What the caller with the user in front of it does with a fetch: tells its message.
std::string Told(FakeUi& ui, FetchedText fetched) {
    ui.Succeeded(fetched.report);
    return std::move(fetched.text);
}

using namespace std::chrono_literals;
using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

int Count(const std::string& text, const std::string& what) {
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
    return count;
}

FetchLimits LoopbackLimits() {
    FetchLimits limits;
    limits.feed = 1s;
    limits.update = 1500ms;
    limits.slice = 20ms;
    limits.shutdownGrace = 3s;
    return limits;
}

const std::string kProgram = "\x7F" "ELF\0\0\0\x01 program bytes \0 after a zero"s;

class LoopbackFetchTest : public ::testing::Test {
protected:
    LoopbackFetchTest() {
        // Loopback only, whatever proxy the machine has.
        environment.Set("no_proxy", "127.0.0.1,localhost").Set("NO_PROXY", "127.0.0.1,localhost");
        test::MakeFolders(files / "qenruntime");
        WriteFile(files / "qenruntime/version.txt", "2\r\nA new version\r\n");
        WriteFile(files / "QenRuntime", kProgram);
    }

    static feedsim::Options ServerOptions(const TempDir& folder) {
        feedsim::Options options;
        options.filesFolder = folder.path();
        options.dripPause = 10ms;
        return options;
    }

    std::string Url(const std::string& path) const { return server.Url(path); }
    std::string KeywordUrl(const std::string& term, int start) const {
        return Url("/feeds/api/videos?q=" + term + "&start-index=" + std::to_string(start) +
                   "&max-results=50&v=2&format=5&orderby=viewCount");
    }

    ScopedEnvironment environment;
    TempDir files;
    TestHttpServer server{ServerOptions(files)};
    FakeUi ui;
    DownloadFetcher fetcher{ui, std::make_shared<CurlTransport>(), LoopbackLimits()};
};

TEST_F(LoopbackFetchTest, EveryQueryFormArrivesWhole) {
    // Keyword feed: converted from UTF-8; references of the feed stay as they are.
    const std::string keyword = Told(ui, fetcher.FetchFeedText(FetchChannel::Videos, KeywordUrl("dog-training", 51)));
    EXPECT_TRUE(keyword.starts_with("<?xml"));
    EXPECT_EQ(Count(keyword, "<entry"), 50);
    EXPECT_EQ(Count(keyword, "<yt:videoid>"), 50);
    EXPECT_NE(keyword.find("&amp;"), std::string::npos);
    EXPECT_EQ(keyword.find("\xC3"), std::string::npos);  // no UTF-8 left
    EXPECT_NE(keyword.find("\xDC" "ber"), std::string::npos);
    EXPECT_NE(keyword.find("&#8212;"), std::string::npos);

    const std::string related = Told(ui, fetcher.FetchFeedText(FetchChannel::Videos, Url("/feeds/api/videos/AbCdEfGhIjK/related")));
    EXPECT_EQ(Count(related, "<entry><id>http://" + server.Host() + "/feeds/api/videos/"), 25);

    const std::string category = Told(ui, fetcher.FetchFeedText(FetchChannel::Articles, Url("/category/Pets:Dog-Training.xml")));
    EXPECT_EQ(Count(category, "<item>"), 150);
    EXPECT_NE(category.find("<![CDATA["), std::string::npos);

    const std::string page = Told(ui, fetcher.FetchArticlePage(Url("/ezinepublisher/?id=6123456")));
    EXPECT_NE(page.find("<textarea"), std::string::npos);
    EXPECT_NE(page.find("Article Source: http://" + server.Host() + "/?id=6123456"), std::string::npos);
    EXPECT_NE(page.find("\x93small steps\x94"), std::string::npos);  // Windows-1252, as served

    EXPECT_EQ(fetcher.FetchUpdateText(Url("/qenruntime/version.txt")), "2\r\nA new version\r\n");
    EXPECT_EQ(fetcher.FetchUpdateBinary(Url("/QenRuntime")), kProgram);
    EXPECT_EQ(fetcher.ReceivedLength(FetchChannel::Update), kProgram.size());
    EXPECT_EQ(fetcher.FetchUpdateText(Url("/QenRuntime")), "\x7F" "ELF");
    EXPECT_TRUE(fetcher.FetchUpdateBinary(Url("/vi/AbCdEfGhIjK/0.jpg")).starts_with("\x89PNG\r\n\x1A\n"));

    EXPECT_TRUE(ui.messages.empty());
}

// A program built with debugging information is several times the download buffer.
TEST_F(LoopbackFetchTest, AnUpdateFileLargerThanTheDownloadBufferArrivesWhole) {
    std::string program(9'000'001, '\0');
    for (std::size_t i = 0; i < program.size(); ++i) program[i] = static_cast<char>(i * 131 + i / 4096);
    WriteFile(files / "QenRuntimeDebug", program);
    FetchLimits limits = LoopbackLimits();
    limits.update = 60s;  // a loaded machine, or a sanitiser build, must not make it a time-out
    DownloadFetcher patient(ui, std::make_shared<CurlTransport>(), limits);
    TempDir folder;
    const Path target = folder / "QenRuntime2";
    const struct {
        const char* name;
        std::uint64_t limit;
        UpdateFileDownload::Status status;
    } cases[] = {
        {"under the limit", kMaxUpdateFileSize, UpdateFileDownload::Status::Received},
        {"over the limit", program.size() - 1, UpdateFileDownload::Status::TooLarge},
    };
    for (const auto& c : cases) {
        UpdateFileDownload download = patient.FetchUpdateFile(Url("/QenRuntimeDebug"), FileSave::Begin(target), c.limit);
        EXPECT_EQ(download.status, c.status) << c.name;
        if (download.file) {
            ASSERT_TRUE(download.file->Commit()) << c.name;
            EXPECT_TRUE(ReadFile(target) == program) << c.name;
        }
        EXPECT_FALSE(Exists(SavingPathFor(target))) << c.name;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LoopbackFetchTest, TheClientNamesItselfAndAsksForAFreshAnswer) {
    const std::string headers = fetcher.FetchUpdateText(Url("/echo"));
    EXPECT_NE(headers.find("User-Agent: NVRB\n"), std::string::npos) << headers;
    EXPECT_NE(headers.find("Cache-Control: no-cache\n"), std::string::npos) << headers;
    EXPECT_NE(headers.find("Pragma: no-cache\n"), std::string::npos) << headers;
}

TEST_F(LoopbackFetchTest, RedirectsAreFollowedOverHttpOnlyAndNotForever) {
    EXPECT_EQ(fetcher.FetchUpdateText(Url("/redirect/10/qenruntime/version.txt")), "2\r\nA new version\r\n");
    EXPECT_TRUE(ui.messages.empty());

    struct Case {
        const char* name;
        std::string path;
    };
    const Case refused[] = {
        {"eleven redirects", "/redirect/11/qenruntime/version.txt"},
        {"to a local file", "/redirect-to?url=file:///etc/passwd"},
        {"to another protocol", "/redirect-to?url=ftp://127.0.0.1/version.txt"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        const std::string url = Url(c.path);
        EXPECT_EQ(Told(ui, fetcher.FetchArticlePage(url)), "");
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_TRUE(ui.messages[0].text.starts_with(
            "Unable to access EzineArticles.com\n\nError: InternetOpenUrl failed\n\nURL: " + url + "\n\n"))
            << ui.messages[0].text;
    }
}

TEST_F(LoopbackFetchTest, EveryFaultEndsAsTheCallerExpects) {
    enum class Via { VideoFeed, ArticleFeed, ArticlePage, UpdateText, UpdateBinary };
    struct Case {
        const char* name;
        Via via;
        std::string path;
        std::function<bool(const std::string&)> resultOk;
        std::string message;  // the message's fixed part; empty: silent
    };
    auto empty = [](const std::string& r) { return r.empty(); };
    auto inCutRange = [](const std::string& r) { return r.size() >= 3'999'996 && r.size() <= 4'000'000; };
    const std::string video = "Unable to access YouTube\n\nError: ";
    const std::string article = "Unable to access EzineArticles.com\n\nError: ";
    const Case cases[] = {
        {"quota answer still delivers its body", Via::VideoFeed, "/fault/quota/feeds/api/videos/AbCdEfGhIjK/related",
         [](const std::string& r) {
             return r.starts_with("<?xml") && r.find("<code>too_many_recent_calls</code>") != std::string::npos &&
                    r.find("<domain>yt:quota</domain>") != std::string::npos && r.find("<error>") != std::string::npos;
         },
         ""},
        {"quota by keyword term", Via::VideoFeed, "",
         [](const std::string& r) { return r.find("<domain>yt:quota</domain>") != std::string::npos; }, ""},
        {"HTML error page", Via::VideoFeed, "/fault/html-error/feeds/api/videos/AbCdEfGhIjK/related",
         [](const std::string& r) { return !r.empty() && r.find("<?xml") == std::string::npos; }, ""},
        {"not found", Via::UpdateText, "/fault/not-found/qenruntime/version.txt",
         [](const std::string& r) { return r.find("404") != std::string::npos && r.find("Not Found") != std::string::npos; },
         ""},
        {"missing file", Via::UpdateBinary, "/QenRuntimeAutoReplaceTool",
         [](const std::string& r) { return r.find("404") != std::string::npos && r.find("Not Found") != std::string::npos; },
         ""},
        {"empty body on the article channel", Via::ArticleFeed, "/fault/empty/category/Pets:Dogs.xml", empty,
         article + "InternetReadFile failed"},
        {"empty body on the video channel", Via::VideoFeed, "/fault/empty/feeds/api/videos/AbCdEfGhIjK/related",
         empty, video + "InternetReadFile failed"},
        {"empty body on the update channel", Via::UpdateBinary, "/fault/empty/QenRuntime", empty, ""},
        {"huge feed is cut", Via::VideoFeed, "/fault/huge/feeds/api/videos/AbCdEfGhIjK/related", inCutRange, ""},
        {"huge binary is cut", Via::UpdateBinary, "/fault/huge/QenRuntime", inCutRange, ""},
        {"slow drip arrives whole", Via::ArticleFeed, "/fault/drip/category/Pets:Dog-Training.xml",
         [](const std::string& r) { return Count(r, "<item>") == 150; }, ""},
        {"reset before any answer", Via::VideoFeed, "/fault/reset/feeds/api/videos/AbCdEfGhIjK/related", empty,
         video + "InternetOpenUrl failed"},
        {"reset on the update channel", Via::UpdateText, "/fault/reset/qenruntime/version.txt", empty, ""},
        {"answer breaking off halfway", Via::ArticlePage, "/fault/truncate/ezinepublisher/?id=6123456", empty, ""},
        {"hang on the video channel", Via::VideoFeed, "/fault/hang/feeds/api/videos/AbCdEfGhIjK/related", empty, ""},
        {"hang on the update channel", Via::UpdateBinary, "/fault/hang/QenRuntime", empty, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        const std::string url = c.path.empty() ? KeywordUrl("fault-quota", 1) : Url(c.path);
        std::string result;
        switch (c.via) {
            case Via::VideoFeed: result = Told(ui, fetcher.FetchFeedText(FetchChannel::Videos, url)); break;
            case Via::ArticleFeed: result = Told(ui, fetcher.FetchFeedText(FetchChannel::Articles, url)); break;
            case Via::ArticlePage: result = Told(ui, fetcher.FetchArticlePage(url)); break;
            case Via::UpdateText: result = fetcher.FetchUpdateText(url); break;
            case Via::UpdateBinary: result = fetcher.FetchUpdateBinary(url); break;
        }
        EXPECT_TRUE(c.resultOk(result)) << result.substr(0, 300);
        if (c.message.empty()) {
            EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
        } else {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_TRUE(ui.messages[0].text.starts_with(c.message + "\n\nURL: " + url)) << ui.messages[0].text;
            EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
        }
        // Whatever came before, the next fetch gets its own answer.
        EXPECT_EQ(Count(Told(ui, fetcher.FetchFeedText(FetchChannel::Videos, KeywordUrl("puppies-3", 1))), "<entry"), 3);
    }
}

TEST_F(LoopbackFetchTest, ANetworkWithoutServerIsNoAnswer) {
    std::string url;
    {
        TestHttpServer gone;
        url = gone.Url("/category/Pets:Dogs.xml");
    }
    EXPECT_EQ(Told(ui, fetcher.FetchFeedText(FetchChannel::Articles, url)), "");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.starts_with(
        "Unable to access EzineArticles.com\n\nError: InternetOpenUrl failed\n\nURL: " + url + "\n\n"));
}

// The real transport, telling when a transfer has returned.
class TrackedTransport : public HttpTransport {
public:
    TransferResult Get(const TransferRequest& request) override {
        TransferResult result = inner_.Get(request);
        {
            std::lock_guard lock(mutex_);
            ++ended_;
        }
        changed_.notify_all();
        return result;
    }
    bool WaitUntilEnded(std::chrono::seconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [this] { return ended_ > 0; });
    }

private:
    CurlTransport inner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int ended_ = 0;
};

TEST_F(LoopbackFetchTest, AnAbandonedTransferEndsSoonAfter) {
    auto transport = std::make_shared<TrackedTransport>();
    FetchLimits limits = LoopbackLimits();
    limits.feed = 60s;
    class ClosingUi : public FakeUi {
    public:
        DownloadFetcher* fetcher = nullptr;
        void PumpMessages() override {
            FakeUi::PumpMessages();
            fetcher->AbandonTransfers();  // the window closes while the server hangs
        }
    } closingUi;
    DownloadFetcher closing(closingUi, transport, limits);
    closingUi.fetcher = &closing;

    EXPECT_EQ(Told(ui, closing.FetchFeedText(FetchChannel::Videos, Url("/fault/hang/feeds/api/videos/X12345/related"))), "");
    EXPECT_TRUE(transport->WaitUntilEnded(10s));
    EXPECT_TRUE(closingUi.messages.empty());
}

TEST_F(LoopbackFetchTest, OneConnectionServesBatchAfterBatch) {
    for (int start = 1; start <= 20 * 50; start += 50)
        ASSERT_EQ(Count(Told(ui, fetcher.FetchFeedText(FetchChannel::Videos, KeywordUrl("puppies", start))), "<entry"),
                  50);
    EXPECT_EQ(server.Connections(), 1u);

    // A transfer broken off mid-answer costs its connection, not the next batch.
    EXPECT_EQ(Told(ui, fetcher.FetchFeedText(FetchChannel::Videos, Url("/fault/reset/feeds/api/videos/X12345/related"))), "");
    ui.messages.clear();
    EXPECT_EQ(Count(Told(ui, fetcher.FetchFeedText(FetchChannel::Videos, KeywordUrl("puppies", 1))), "<entry"), 50);
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace qen::test
