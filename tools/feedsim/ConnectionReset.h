#pragma once
// Aborts one of this process's own TCP connections with a reset, found by its two ports.
namespace qen::feedsim {

// The socket stays a valid descriptor (of /dev/null) for its owner to close as usual.
bool ResetConnection(int localPort, int remotePort);

}  // namespace qen::feedsim
