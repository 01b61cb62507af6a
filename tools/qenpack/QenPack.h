#pragma once
// The packaging tool's commands (build, bind, inspect, verify, extract), kept out of the
// tool's main so they can be tested; they share the runtime's package code.
#include <ostream>
#include <string>
#include <vector>

namespace qen {

// `args` without the program name. Gives the process exit code: 0 done, 1 a package,
// site or branding file that cannot be used, 2 wrong usage or a file that cannot be read
// or written. Errors are one line on `err`, starting with "qenpack: ".
int RunQenPack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kQenPackUsage;

}  // namespace qen
