#include "feedsim/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/TempDir.h"

namespace qen::feedsim {
namespace {

TEST(FeedSimCommandLine, ReadsItsOptionsAndRefusesWhatItCannotUse) {
    test::TempDir folder;
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string error;  // its start; empty when accepted
    };
    const Case cases[] = {
        {"nothing", {}, ""},
        {"all options", {"--port", "0", "--files", folder.path().Bytes(), "--fault", "drip", "--drip-ms", "5"}, ""},
        {"help", {"--help"}, ""},
        {"version", {"--version"}, ""},
        {"port out of range", {"--port", "65536"}, "--port"},
        {"port not a number", {"--port", "80a"}, "--port"},
        {"missing value", {"--fault"}, "--fault needs a value"},
        {"unknown fault", {"--fault", "slow"}, "--fault: unknown mode slow"},
        {"missing folder", {"--files", (folder / "none").Bytes()}, "--files: no such folder"},
        {"unknown argument", {"--verbose"}, "unknown argument: --verbose"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandLine parsed = ParseCommandLine(c.args);
        if (c.error.empty()) {
            EXPECT_EQ(parsed.error, "");
        } else {
            EXPECT_TRUE(parsed.error.starts_with(c.error)) << parsed.error;
        }
    }

    const CommandLine all = ParseCommandLine({"--port", "0", "--files", folder.path().Bytes(), "--fault", "drip", "--drip-ms", "5"});
    EXPECT_EQ(all.options.port, 0);
    EXPECT_EQ(all.options.filesFolder, folder.path());
    EXPECT_EQ(all.options.fault, Fault::Drip);
    EXPECT_EQ(all.options.dripPause, std::chrono::milliseconds(5));
    EXPECT_TRUE(ParseCommandLine({"--help"}).help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).version);
}

TEST(FeedSimCommandLine, HelpListsEveryFaultMode) {
    const std::string help = HelpText();
    for (const FaultInfo& info : AllFaults())
        EXPECT_NE(help.find("  " + std::string(info.name) + " "), std::string::npos) << info.name;
    EXPECT_NE(help.find("--port"), std::string::npos);
}

}  // namespace
}  // namespace qen::feedsim
