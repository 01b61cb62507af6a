#include "platform/FileCalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace qen::filecalls {

int WriteToFile(int fd, std::string_view data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t wrote = ::write(fd, data.data() + done, data.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (wrote == 0) return EIO;
        done += static_cast<std::size_t>(wrote);
    }
    return 0;
}

namespace {

int OpenFile(const std::string& path, int flags, unsigned mode, bool exactMode, int& descriptor) {
    const int fd = ::open(path.c_str(), flags | O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, static_cast<mode_t>(mode));
    if (fd < 0) return errno;
    if (exactMode && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    descriptor = fd;
    return 0;
}

}  // namespace

int OpenNewFile(const std::string& path, unsigned mode, bool exactMode, int& descriptor) {
    return OpenFile(path, O_EXCL, mode, exactMode, descriptor);
}

int CloseFile(int descriptor, bool durable) {
    int error = 0;
    if (durable && ::fsync(descriptor) != 0) error = errno;
    if (::close(descriptor) != 0 && !error) error = errno;
    return error;
}

int WriteFile(const std::string& path, std::string_view data, Create create, unsigned mode, bool exactMode,
              bool durable) {
    int fd = -1;
    const int opened = OpenFile(path, create == Create::New ? O_EXCL : O_TRUNC, mode, exactMode, fd);
    if (opened != 0) return opened;
    const int error = WriteToFile(fd, data);
    const int closed = CloseFile(fd, durable && !error);
    return error ? error : closed;
}

int WriteNewFile(const std::string& path, std::string_view data, unsigned mode) {
    // O_EXCL refuses whatever is at the path, a link included, before anything is written.
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    const int fd = ::open(path.c_str(), flags, static_cast<mode_t>(mode));
    if (fd < 0) return errno;
    int error = WriteToFile(fd, data);
    if (::close(fd) != 0 && !error) error = errno;
    if (error) ::unlink(path.c_str());
    return error;
}

int OpenForReading(const std::string& path, int& descriptor, std::uint64_t& size) {
    // Non-blocking, so that a pipe or a device cannot hold the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat status {};
    const int error = ::fstat(fd, &status) != 0 ? errno : S_ISREG(status.st_mode) ? 0 : EINVAL;
    if (error) {
        ::close(fd);
        return error;
    }
    descriptor = fd;
    size = static_cast<std::uint64_t>(status.st_size);
    return 0;
}

int ReadAt(int descriptor, std::uint64_t offset, char* into, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(descriptor, into + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (got == 0) return EIO;
        done += static_cast<std::size_t>(got);
    }
    return 0;
}

void AdviseLargePages(void* start, std::size_t size) {
    // Only whole large pages inside the range can be given.
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(start) + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(start) + size) & ~(kLargePage - 1);
    if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

int SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

int Rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int MakePrivateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0700) == 0 ? 0 : errno; }

Ownership FolderOwnership(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return errno == ENOENT ? Ownership::Missing : Ownership::NotOurs;
    if (!S_ISDIR(status.st_mode) || status.st_uid != ::geteuid()) return Ownership::NotOurs;
    return Ownership::Ours;
}

int MakeOwnerOnly(const std::string& path) { return ::chmod(path.c_str(), 0700) == 0 ? 0 : errno; }

int TryLock(const std::string& path, int& descriptor) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return errno;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EAGAIN : errno;
        ::close(fd);
        return error;
    }
    descriptor = fd;
    return 0;
}

bool SameFile(int descriptor, const std::string& path) {
    struct stat held {}, named {};
    return ::fstat(descriptor, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

void Unlock(int descriptor) { ::close(descriptor); }

}  // namespace qen::filecalls
