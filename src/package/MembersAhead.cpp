#include "package/MembersAhead.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace qen {

namespace {

// Below this a thread costs more than it saves.
constexpr std::size_t kBytesWorthAThread = 1 << 20;
constexpr std::size_t kMaxReaders = 2;

}  // namespace

MembersAhead::MembersAhead(const ContentPackage& package, std::vector<PackageMember> members)
    : package_(package), members_(std::move(members)) {
    std::size_t total = 0;
    for (const PackageMember& member : members_) total += member.size;
    if (total < kBytesWorthAThread) return;
    const std::size_t readers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMaxReaders);
    // Sized before any reader starts: a reader holds a reference into it.
    slots_.resize(readers);
    try {
        for (std::size_t reader = 0; reader < readers; ++reader)
            readers_.emplace_back(&MembersAhead::Read, this, reader, readers);
    } catch (const std::system_error&) {
        // Not every thread could start: those that did are stopped, and Next reads itself.
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            changed_.notify_all();
        }
        for (std::thread& reader : readers_) reader.join();
        readers_.clear();
        slots_.clear();
        stopping_ = false;
    }
}

MembersAhead::~MembersAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }
    for (std::thread& reader : readers_) reader.join();
}

void MembersAhead::Read(std::size_t reader, std::size_t readers) {
    std::string bytes;
    for (std::size_t place = reader; place < members_.size(); place += readers) {
        const bool read = package_.ReadMember(members_[place], bytes);
        std::unique_lock lock(mutex_);
        Slot& slot = slots_[reader];
        changed_.wait(lock, [&] { return stopping_ || !slot.full; });
        if (stopping_) return;
        // The taker's last buffer comes back here, so no member needs fresh memory.
        std::swap(slot.bytes, bytes);
        slot.read = read;
        slot.full = true;
        changed_.notify_all();
    }
}

bool MembersAhead::Next(std::string& into) {
    if (taken_ >= members_.size()) return false;
    const std::size_t place = taken_++;
    if (slots_.empty()) return package_.ReadMember(members_[place], into);
    std::unique_lock lock(mutex_);
    Slot& slot = slots_[place % slots_.size()];
    changed_.wait(lock, [&] { return slot.full; });
    std::swap(into, slot.bytes);
    slot.full = false;
    changed_.notify_all();
    return slot.read;
}

}  // namespace qen
