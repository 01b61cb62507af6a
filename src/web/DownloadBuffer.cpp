#include "web/DownloadBuffer.h"

#include <algorithm>
#include <cstring>

namespace qen {

DownloadBuffer& DownloadBuffer::ForProcess() {
    static DownloadBuffer* const buffer = new DownloadBuffer();
    return *buffer;
}

// Nothing is read that was not written first (Finish puts the zero byte behind the data),
// so the area is not cleared: untouched, it costs no memory until a download fills it.
DownloadBuffer::DownloadBuffer() : bytes_(new char[kSize]) {}

DownloadBuffer::Tag DownloadBuffer::Begin() {
    std::lock_guard lock(mutex_);
    length_ = 0;
    bytes_[0] = '\0';
    return ++current_;
}

void DownloadBuffer::Abandon(Tag tag) {
    std::lock_guard lock(mutex_);
    if (current_ == tag) ++current_;
}

bool DownloadBuffer::IsCurrent(Tag tag) const { return current_.load(std::memory_order_relaxed) == tag; }

DownloadBuffer::AddResult DownloadBuffer::Add(Tag tag, const char* data, std::size_t size) {
    std::lock_guard lock(mutex_);
    if (current_ != tag) return AddResult::Stale;
    const std::size_t taken = std::min(size, kMaxData - length_);
    if (taken > 0) std::memcpy(bytes_.get() + length_, data, taken);
    length_ += taken;
    return length_ >= kCut ? AddResult::Full : AddResult::Taken;
}

std::optional<std::size_t> DownloadBuffer::Finish(Tag tag, bool keepData) {
    std::lock_guard lock(mutex_);
    if (current_ != tag) return std::nullopt;
    if (!keepData) length_ = 0;
    bytes_[length_] = '\0';
    return length_;
}

}  // namespace qen
