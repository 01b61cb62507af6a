// qen-gateway: answers the runtime's video feed forms from a video service of today.
#include <iostream>
#include <string>
#include <vector>

#include "qen-gateway/GatewayOptions.h"

int main(int argc, char** argv) {
    return qen::gateway::GatewayMain(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
