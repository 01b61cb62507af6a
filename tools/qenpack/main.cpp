// qenpack: makes and checks content packages.
#include <iostream>
#include <string>
#include <vector>

#include "qenpack/QenPack.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return qen::RunQenPack(args, std::cout, std::cerr);
}
