#include "web/TransferSinks.h"

namespace qen {

TransferSink::Take BufferSink::Add(const char* data, std::size_t size) {
    switch (buffer_.Add(tag_, data, size)) {
        case DownloadBuffer::AddResult::Taken:
            return Take::Taken;
        case DownloadBuffer::AddResult::Full:
            return Take::Cut;
        case DownloadBuffer::AddResult::Stale:
            break;
    }
    return Take::Stale;
}

TransferSink::Take FileSink::Add(const char* data, std::size_t size) {
    std::lock_guard lock(mutex_);
    if (stale_ || !file_) return Take::Stale;
    if (size > limit_ - file_->Size()) {
        overLimit_ = true;
        file_.reset();
        return Take::Refused;
    }
    FileError error;
    if (!file_->Append({data, size}, &error)) {
        writeFailure_ = error;
        file_.reset();
        return Take::Refused;
    }
    return Take::Taken;
}

bool FileSink::IsCurrent() const {
    std::lock_guard lock(mutex_);
    return !stale_ && file_;
}

std::optional<std::size_t> FileSink::Finish(bool keep) {
    std::lock_guard lock(mutex_);
    if (stale_) return std::nullopt;
    if (!keep) file_.reset();
    return file_ ? static_cast<std::size_t>(file_->Size()) : 0;
}

void FileSink::Abandon() {
    std::lock_guard lock(mutex_);
    stale_ = true;
    file_.reset();
}

std::unique_ptr<FileSave> FileSink::TakeFile() {
    std::lock_guard lock(mutex_);
    stale_ = true;
    return std::move(file_);
}

bool FileSink::OverLimit() const {
    std::lock_guard lock(mutex_);
    return overLimit_;
}

std::optional<FileError> FileSink::WriteFailure() const {
    std::lock_guard lock(mutex_);
    return writeFailure_;
}

}  // namespace qen
