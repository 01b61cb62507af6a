#pragma once
// The release tool: makes the key pair that signs updates and signs the files a
// distributor publishes on the update server.
#include <iosfwd>
#include <string>
#include <vector>

namespace qen::release {

// The command line after the program name. Exit codes: 0 done, 1 a signature that does
// not hold, 2 usage or file errors.
int RunRelease(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qen::release
