#include "feedsim/ConnectionReset.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace qen::feedsim {

namespace {

int PortOf(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

bool HasPorts(int fd, int localPort, int remotePort) {
    sockaddr_storage local{}, remote{};
    socklen_t localSize = sizeof local, remoteSize = sizeof remote;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) != 0) return false;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&remote), &remoteSize) != 0) return false;
    return PortOf(local) == localPort && PortOf(remote) == remotePort;
}

}  // namespace

bool ResetConnection(int localPort, int remotePort) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        int fd = -1;
        try {
            fd = std::stoi(entry.path().filename().string());
        } catch (const std::exception&) {
            continue;
        }
        if (!HasPorts(fd, localPort, remotePort)) continue;
        // Closing with a zero linger time sends a reset instead of an orderly end. The
        // descriptor is swapped for /dev/null rather than closed, so its number is not
        // reused behind the back of the server code that owns it.
        const linger abort{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
        if (null < 0) return false;
        const bool swapped = dup2(null, fd) >= 0;
        close(null);
        return swapped;
    }
    return false;
}

}  // namespace qen::feedsim
