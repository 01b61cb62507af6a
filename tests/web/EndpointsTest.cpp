#include <gtest/gtest.h>

#include "fakes/EndpointVariables.h"
#include "fakes/FakeSettings.h"

namespace qen::test {
namespace {

TEST(Endpoints, EnvironmentThenSettingsThenDefault) {
    ScopedEnvironment environment;
    ClearEndpointVariables(environment);
    FakeSettings settings;
    const std::string fallback = EndpointInfoOf(Endpoint::ThumbnailHost).defaultValue;
    EXPECT_EQ(EndpointValue(settings, Endpoint::ThumbnailHost), fallback);

    settings.strings[{"Endpoints", "ThumbnailHost"}] = "img.local";
    EXPECT_EQ(EndpointValue(settings, Endpoint::ThumbnailHost), "img.local");

    environment.Set("QEN_THUMBNAIL_HOST", "127.0.0.1:8765");
    EXPECT_EQ(EndpointValue(settings, Endpoint::ThumbnailHost), "127.0.0.1:8765");

    // An empty variable or key is no setting.
    environment.Set("QEN_THUMBNAIL_HOST", "");
    EXPECT_EQ(EndpointValue(settings, Endpoint::ThumbnailHost), "img.local");
    settings.strings[{"Endpoints", "ThumbnailHost"}] = "";
    EXPECT_EQ(EndpointValue(settings, Endpoint::ThumbnailHost), fallback);
}

TEST(Endpoints, EveryEndpointHasItsOwnNamesAndADefault) {
    ScopedEnvironment environment;
    ClearEndpointVariables(environment);
    FakeSettings settings;
    const Endpoint all[] = {Endpoint::VideoFeedHost, Endpoint::VideoDomain,   Endpoint::VideoWebHost,
                            Endpoint::ThumbnailHost, Endpoint::AdvertHost,    Endpoint::LaunchAddress,
                            Endpoint::ArticleFeedHost, Endpoint::ArticleSiteHost, Endpoint::UpdateHost,
                            Endpoint::DownloadHost};
    for (Endpoint endpoint : all) {
        const EndpointInfo& info = EndpointInfoOf(endpoint);
        EXPECT_FALSE(std::string(info.defaultValue).empty()) << info.key;
        settings.strings[{"Endpoints", info.key}] = std::string("set-") + info.key;
    }
    for (Endpoint endpoint : all)
        EXPECT_EQ(EndpointValue(settings, endpoint), std::string("set-") + EndpointInfoOf(endpoint).key);
    EXPECT_EQ(std::string(EndpointInfoOf(Endpoint::LaunchAddress).defaultValue).back(), '/');
}

TEST(Endpoints, ThumbnailAddressIsTheOneThePagesCarry) {
    EXPECT_EQ(ThumbnailAddress("img.test:81", "Ab_9"), "http://img.test:81/vi/Ab_9/0.jpg");
}

}  // namespace
}  // namespace qen::test
