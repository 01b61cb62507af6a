#include "files/FileLock.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/FileCalls.h"

namespace qen {

Path FileLock::LockPathFor(const Path& file) { return Path(file.Bytes() + ".lock"); }

FileLock::Result FileLock::Acquire(const Path& file, std::optional<FileLock>& lock) {
    const Path path = LockPathFor(file);
    // A holder that ends removes the lock file; one that opened it just before took a lock
    // on a file nobody else can find, so the lock is taken again on the file that is there.
    for (int attempt = 0; attempt < 5; ++attempt) {
        int descriptor = -1;
        const int error = filecalls::TryLock(path.Bytes(), descriptor);
        if (error == EAGAIN) return Result::HeldElsewhere;
        if (error != 0) return Result::Failed;
        if (filecalls::SameFile(descriptor, path.Bytes())) {
            lock.emplace(FileLock(path, descriptor));
            return Result::Locked;
        }
        filecalls::Unlock(descriptor);
    }
    return Result::Failed;
}

FileLock::FileLock(FileLock&& other) noexcept : path_(std::move(other.path_)), descriptor_(other.descriptor_) {
    other.descriptor_ = -1;
}

FileLock::~FileLock() {
    if (descriptor_ < 0) return;
    // Removed while still held, so nobody can lock the name in between.
    std::error_code ignored;
    std::filesystem::remove(path_.Bytes(), ignored);
    filecalls::Unlock(descriptor_);
}

}  // namespace qen
