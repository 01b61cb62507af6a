#include "app/CommandLine.h"

namespace qen {

Path CommandLineFile(const std::vector<std::string>& args) {
    return args.size() > 1 ? Path(args[1]) : Path();
}

}  // namespace qen
