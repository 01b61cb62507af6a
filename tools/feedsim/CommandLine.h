#pragma once
#include <optional>
#include <string>
#include <vector>

#include "feedsim/FeedSimServer.h"

namespace qen::feedsim {

struct CommandLine {
    Options options;
    bool help = false;
    bool version = false;
    std::string error;  // what is wrong with the arguments; empty when they are fine
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);
std::string HelpText();

}  // namespace qen::feedsim
