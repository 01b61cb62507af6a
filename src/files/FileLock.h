#pragma once
// One program per user data file: an advisory lock on "<file>.lock" that ends with the
// process holding it, so a crash never leaves the file locked.
#include <optional>

#include "base/Path.h"

namespace qen {

class FileLock {
public:
    enum class Result { Locked, HeldElsewhere, Failed };

    // Takes the lock for `file`; HeldElsewhere when another running program has it.
    static Result Acquire(const Path& file, std::optional<FileLock>& lock);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&&) = delete;
    ~FileLock();

    static Path LockPathFor(const Path& file);

private:
    FileLock(Path path, int descriptor) : path_(std::move(path)), descriptor_(descriptor) {}

    Path path_;
    int descriptor_ = -1;
};

}  // namespace qen
