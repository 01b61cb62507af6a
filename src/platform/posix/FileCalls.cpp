#include "platform/FileCalls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace qen::filecalls {

namespace {

int WriteAll(int fd, std::string_view data) {
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

}  // namespace

int WriteFile(const std::string& path, std::string_view data, Create create, unsigned mode, bool exactMode,
              bool durable) {
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW;
    flags |= create == Create::New ? O_EXCL : O_TRUNC;
    const int fd = ::open(path.c_str(), flags, static_cast<mode_t>(mode));
    if (fd < 0) return errno;
    int error = 0;
    if (exactMode && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) error = errno;
    if (!error) error = WriteAll(fd, data);
    if (!error && durable && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    return error;
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

}  // namespace qen::filecalls
