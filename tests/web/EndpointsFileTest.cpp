#include "web/EndpointsFile.h"

#include <gtest/gtest.h>

#include "fakes/EndpointVariables.h"
#include "fakes/FakeSettings.h"
#include "web/Endpoints.h"

namespace qen::test {
namespace {

TEST(EndpointsFile, ReadsKeyValueLinesAndNamesTheFirstFaultyOne) {
    const struct {
        const char* text;
        int faultyLine;
        const char* fault;
    } cases[] = {
        {"VideoFeedHost=videos.example.com:8080\n", 0, ""},
        {"# comment\r\n\r\n  ThumbnailHost = img.example.com \r\nLaunchAddress=http://go.example/\r\n", 0, ""},
        {"VideoFeedHost=a.example\nno equals sign\n", 2, "Key=value"},
        {"VideoFeedHost=a.example\nVideoFeedHost=b.example\n", 2, "twice"},
        {"Nonsense=a.example", 1, "unknown key"},
        {"VideoFeedHost=", 1, "no value"},
        {"VideoFeedHost=a b", 1, "without blanks"},
        {"VideoFeedHost=a\"onload=x", 1, "quotes"},
        {"VideoFeedHost=<script>", 1, "host"},
        {"VideoFeedHost=caf\xC3\xA9.example", 1, "host"},
    };
    for (const auto& c : cases) {
        const EndpointsFile file = ParseEndpointsFile(c.text);
        EXPECT_EQ(file.faultyLine, c.faultyLine) << c.text;
        EXPECT_NE(file.fault.find(c.fault), std::string::npos) << c.text << ": " << file.fault;
        if (c.faultyLine) {
            EXPECT_TRUE(file.values.empty()) << c.text;
        }
    }
    const EndpointsFile sound = ParseEndpointsFile("ThumbnailHost = img.example.com \r\n");
    EXPECT_EQ(sound.values.at("ThumbnailHost"), "img.example.com");
}

TEST(EndpointsFile, PackageHostsComeAfterTheEnvironmentAndTheUsersSettings) {
    ScopedEnvironment environment;
    ClearEndpointVariables(environment);
    FakeSettings settings;
    UsePackageEndpoints({{"VideoFeedHost", "gateway.example:8080"}});
    EXPECT_EQ(EndpointValue(settings, Endpoint::VideoFeedHost), "gateway.example:8080");
    EXPECT_EQ(EndpointValue(settings, Endpoint::ThumbnailHost), EndpointInfoOf(Endpoint::ThumbnailHost).defaultValue);

    settings.strings[{"Endpoints", "VideoFeedHost"}] = "users.example";
    EXPECT_EQ(EndpointValue(settings, Endpoint::VideoFeedHost), "users.example");
    environment.Set("QEN_VIDEO_FEED_HOST", "127.0.0.1:8765");
    EXPECT_EQ(EndpointValue(settings, Endpoint::VideoFeedHost), "127.0.0.1:8765");
    UsePackageEndpoints({});
}

}  // namespace
}  // namespace qen::test
