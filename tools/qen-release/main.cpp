#include <iostream>
#include <string>
#include <vector>

#include "qen-release/QenRelease.h"

int main(int argc, char** argv) {
    return qen::release::RunRelease(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
