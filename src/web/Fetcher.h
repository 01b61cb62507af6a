#pragma once
// Every network access of the program: one resource at a time, read whole into the shared
// download buffer (or, for update files, into a file) while the window keeps repainting. Failures reach the user as the
// channel's own messages; callers only see an empty result.
#include <cstdint>
#include <memory>
#include <string>

#include "base/Outcome.h"
#include "files/FileIO.h"

namespace qen {

enum class FetchChannel { Articles, Videos, Update };

// An update file larger than this is refused as it arrives.
inline constexpr std::uint64_t kMaxUpdateFileSize = std::uint64_t{256} << 20;

// What a feed or page fetch brought: its text, empty when nothing was retrieved, and the
// channel's message for a failure it reports (a time-out or a Cancel is silent).
struct FetchedText {
    std::string text;
    Outcome report = Outcome::Success();
};

// What became of an update file streamed to disk.
struct UpdateFileDownload {
    enum class Status { Received, NothingReceived, TooLarge, NotWritten };
    Status status = Status::NothingReceived;
    // Received: the file with every byte that arrived, still waiting in its saving file.
    std::unique_ptr<FileSave> file;
    FileError error;  // NotWritten: why
};

class Fetcher {
public:
    virtual ~Fetcher() = default;

    // A feed of the article or video channel, converted by DecodeDownloadedText.
    virtual FetchedText FetchFeedText(FetchChannel channel, const std::string& url) = 0;
    // An article page on the article channel, as received, up to its first zero byte.
    virtual FetchedText FetchArticlePage(const std::string& url) = 0;
    // A text resource of the update channel, as received, up to its first zero byte. Silent.
    virtual std::string FetchUpdateText(const std::string& url) = 0;
    // A binary resource of the update channel, every byte received; empty when nothing
    // was received. Silent.
    virtual std::string FetchUpdateBinary(const std::string& url) = 0;

    // A resource of the update channel of up to `maxBytes`, written into `file` as it
    // arrives (a larger one is refused as soon as it passes the limit); the file comes back
    // only when the whole resource is in it. Otherwise the file is dropped and nothing of
    // it stays on disk. Silent.
    virtual UpdateFileDownload FetchUpdateFile(const std::string& url, std::unique_ptr<FileSave> file,
                                               std::uint64_t maxBytes) = 0;

    // True while a fetch waits for its answer. Messages are pumped meanwhile, so a click
    // can arrive; the view checks this and lets nothing start a second fetch meanwhile.
    virtual bool Busy() const = 0;

    // While set, a fetch that waits for its answer gives up as soon as *cancel turns true:
    // silently, and leaving the transfer behind as at a time limit. nullptr stops watching.
    virtual void WatchCancelFlag(const bool* cancel) = 0;
};

// Watches a cancel flag for as long as it lives.
class CancelWatch {
public:
    CancelWatch(Fetcher& fetcher, const bool& cancel) : fetcher_(fetcher) { fetcher_.WatchCancelFlag(&cancel); }
    ~CancelWatch() { fetcher_.WatchCancelFlag(nullptr); }
    CancelWatch(const CancelWatch&) = delete;
    CancelWatch& operator=(const CancelWatch&) = delete;

private:
    Fetcher& fetcher_;
};

}  // namespace qen
