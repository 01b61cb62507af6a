#pragma once
// Where a transfer's bytes go: the process's download buffer, or a file being saved. Each
// sink stops taking bytes for good once it is abandoned, so a worker left behind at its
// time limit, or one whose transfer was cancelled, can never write again.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "files/FileIO.h"
#include "web/DownloadBuffer.h"

namespace qen {

class TransferSink {
public:
    enum class Take {
        Taken,    // keep sending
        Cut,      // the sink is full: what it holds is the whole resource
        Stale,    // abandoned: nothing more is wanted
        Refused,  // the transfer failed here (too large for the sink, or not written)
    };

    virtual ~TransferSink() = default;
    virtual Take Add(const char* data, std::size_t size) = 0;
    virtual bool IsCurrent() const = 0;
    // Ends the transfer, dropping the data unless `keep`. The data length, or nullopt once stale.
    virtual std::optional<std::size_t> Finish(bool keep) = 0;
    virtual void Abandon() = 0;
};

// One transfer into the process's download buffer (the article and video channels, and
// the small texts of the update channel).
class BufferSink : public TransferSink {
public:
    explicit BufferSink(DownloadBuffer& buffer) : buffer_(buffer), tag_(buffer.Begin()) {}
    Take Add(const char* data, std::size_t size) override;
    bool IsCurrent() const override { return buffer_.IsCurrent(tag_); }
    std::optional<std::size_t> Finish(bool keep) override { return buffer_.Finish(tag_, keep); }
    void Abandon() override { buffer_.Abandon(tag_); }

private:
    DownloadBuffer& buffer_;
    const DownloadBuffer::Tag tag_;
};

// One transfer into a file being saved, up to a size limit. The file belongs to the sink
// until the waiting side takes it back; every write happens under the sink's lock, so
// once abandoned (which removes the saving file) nothing reaches the disk.
class FileSink : public TransferSink {
public:
    FileSink(std::unique_ptr<FileSave> file, std::uint64_t limit) : file_(std::move(file)), limit_(limit) {}
    Take Add(const char* data, std::size_t size) override;
    bool IsCurrent() const override;
    std::optional<std::size_t> Finish(bool keep) override;
    void Abandon() override;

    // The file, with every byte that arrived; the sink is stale from then on. Null when
    // the file was dropped.
    std::unique_ptr<FileSave> TakeFile();
    bool OverLimit() const;
    // The write failure that refused the data, if one did.
    std::optional<FileError> WriteFailure() const;

private:
    mutable std::mutex mutex_;
    std::unique_ptr<FileSave> file_;
    const std::uint64_t limit_;
    bool stale_ = false;
    bool overLimit_ = false;
    std::optional<FileError> writeFailure_;
};

}  // namespace qen
