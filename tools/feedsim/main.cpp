// feedsim: serves the query forms of the outside services on the loopback interface with
// generated data, for the tests and the demo.
#include <iostream>
#include <string>
#include <vector>

#include "feedsim/CommandLine.h"
#include "feedsim/FeedSimServer.h"
#include "update/VersionFile.h"

int main(int argc, char** argv) {
    using namespace qen::feedsim;
    const CommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!commandLine.error.empty()) {
        std::cerr << "feedsim: " << commandLine.error << "\n";
        return 2;
    }
    if (commandLine.version) {
        std::cout << qen::VersionLine("feedsim");
        return 0;
    }
    if (commandLine.help) {
        std::cout << HelpText();
        return 0;
    }

    Server server(commandLine.options);
    if (!server.Start()) {
        std::cerr << "feedsim: cannot listen on 127.0.0.1:" << commandLine.options.port << "\n";
        return 1;
    }
    std::cout << server.Address() << std::endl;
    server.Wait();
    return 0;
}
