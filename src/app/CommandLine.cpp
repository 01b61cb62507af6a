#include "app/CommandLine.h"

namespace qen {

std::string CommandLineFile(const std::vector<std::string>& args) {
    return args.size() > 1 ? args[1] : std::string();
}

}  // namespace qen
