#pragma once
// The one receive area of the process. Every transfer carries a tag and only the transfer
// begun last may write, so a worker abandoned at its time limit can never spoil the data
// of a later transfer.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

namespace qen {

class DownloadBuffer {
public:
    static constexpr std::size_t kSize = 4'000'010;
    static constexpr std::size_t kMaxData = 4'000'000;
    // A transfer that has this many bytes ends; the rest of the resource is dropped.
    static constexpr std::size_t kCut = kMaxData - 4;

    using Tag = std::uint64_t;
    enum class AddResult { Taken, Full, Stale };

    // Allocated on first use and never freed, so that an abandoned worker can still
    // reach it while the program ends.
    static DownloadBuffer& ForProcess();

    DownloadBuffer();
    DownloadBuffer(const DownloadBuffer&) = delete;
    DownloadBuffer& operator=(const DownloadBuffer&) = delete;

    // Starts a transfer; every transfer begun before is stale from now on.
    Tag Begin();
    // Makes the transfer stale at once (it ran out of time, or the program is closing).
    void Abandon(Tag tag);
    bool IsCurrent(Tag tag) const;

    // Puts a piece behind the data so far. Full once the cut is reached (the piece may
    // have been taken in part); Stale when the transfer is no longer current.
    AddResult Add(Tag tag, const char* data, std::size_t size);
    // Ends the transfer: the zero byte goes behind the data kept (behind nothing when
    // keepData is false). Gives the data length, or nullopt for a stale transfer.
    std::optional<std::size_t> Finish(Tag tag, bool keepData);

    // The data of the transfer finished last; its zero byte follows directly. Valid until
    // the next Begin.
    std::string_view Received() const { return {bytes_.get(), length_}; }

private:
    std::mutex mutex_;
    std::atomic<Tag> current_{0};
    std::size_t length_ = 0;
    std::unique_ptr<char[]> bytes_;
};

}  // namespace qen
