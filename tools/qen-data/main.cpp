#include <iostream>
#include <string>
#include <vector>

#include "qen-data/QenData.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return qen::qendata::Run(args, std::cout, std::cerr);
}
