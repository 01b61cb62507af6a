#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "fakes/TempDir.h"
#include "fakes/ToolRun.h"
#include "qen-gateway/GatewayOptions.h"

namespace qen::gateway {
namespace {

using test::RunTool;

TEST(GatewayCommandLine, HelpAndVersionGoToStandardOutput) {
    const auto help = RunTool(GatewayMain, {"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--source youtube --key-file FILE"), std::string::npos);
    EXPECT_TRUE(help.err.empty());
    const auto version = RunTool(GatewayMain, {"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.starts_with("qen-gateway "));
}

TEST(GatewayCommandLine, UsageErrorsExitTwoWithOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--source", "vimeo"},
        {"--source", "youtube"},
        {"--source", "invidious"},
        {"--source", "invidious", "--instance", "ftp://x"},
        {"--source", "invidious", "--instance", "https://x", "--daily-units", "5"},
        {"--source", "youtube", "--key-file", "k", "--instance", "https://x"},
        {"--source", "youtube", "--key-file", "k", "--port", "70000"},
        {"--source", "youtube", "--key-file", "k", "--cache-hours", "0"},
        {"--source", "youtube", "--key-file", "k", "--port"},
        {"--source", "youtube", "--key-file", "k", "--frobnicate", "1"},
        {"--source", "youtube", "--key-file", "/nonexistent/key", "--port", "0", "--cache-dir", "/tmp"},
    };
    for (const auto& args : cases) {
        const auto result = RunTool(GatewayMain, args);
        std::string joined;
        for (const auto& arg : args) joined += arg + " ";
        EXPECT_EQ(result.code, 2) << joined;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << joined << result.err;
        EXPECT_TRUE(result.err.starts_with("qen-gateway: ")) << joined;
        EXPECT_TRUE(result.out.empty()) << joined;
    }
}

TEST(GatewayCommandLine, DefaultsFollowTheContract) {
    const auto parsed = ParseGatewayCommandLine({"--source", "youtube", "--key-file", "k"});
    const auto& options = std::get<GatewayOptions>(parsed);
    EXPECT_EQ(options.apiBase, "https://www.googleapis.com/youtube/v3");
    EXPECT_EQ(options.listen, "127.0.0.1");
    EXPECT_EQ(options.cacheHours, 24);
    EXPECT_EQ(options.dailyUnits, 10000);
    EXPECT_TRUE(options.cacheDir.Bytes().ends_with("qen-gateway"));
}

TEST(GatewayCommandLine, PortZeroPrintsTheAddressAsTheFirstLine) {
    test::TempDir dir;
    const std::string command = std::string("timeout 3 ") + QEN_TOOL_PROGRAM +
                                " --source invidious --instance http://127.0.0.1:9 --port 0 --cache-dir " +
                                dir.path().Bytes() + "cache";
    FILE* program = popen(command.c_str(), "r");
    ASSERT_NE(program, nullptr);
    char line[256] = "";
    ASSERT_NE(fgets(line, sizeof line, program), nullptr);
    pclose(program);
    const std::string first(line);
    EXPECT_TRUE(first.starts_with("http://127.0.0.1:")) << first;
    EXPECT_NE(first.substr(17, 1), "0");
}

}  // namespace
}  // namespace qen::gateway
