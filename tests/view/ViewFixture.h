#pragma once
// The application with its view attached to the scripted window, a real work folder and
// endpoints of its own, so no test depends on the public hosts or the environment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/CVantlowApp.h"
#include "web/Endpoints.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"
#include "view/CVantlowView.h"

namespace qen::test {

inline const char* const kLaunch = "http://launch.test/";
inline const char* const kVideoDomain = "videos.test";
inline const char* const kVideoWebHost = "www.videos.test";
inline const char* const kThumbnailHost = "img.videos.test";
inline const char* const kAdvertHost = "ads.test";

// Endpoint variables of the calling environment must not leak into a test.
inline void ClearEndpointVariables() {
    for (Endpoint endpoint :
         {Endpoint::VideoFeedHost, Endpoint::VideoDomain, Endpoint::VideoWebHost, Endpoint::ThumbnailHost,
          Endpoint::AdvertHost, Endpoint::LaunchAddress, Endpoint::ArticleFeedHost,
          Endpoint::ArticleSiteHost, Endpoint::UpdateHost, Endpoint::DownloadHost})
        unsetenv(EndpointInfoOf(endpoint).variable);
}

struct ViewFixture : ::testing::Test {
    FakePlatform platform;
    CVantlowApp app{platform};
    CVantlowView& view = app.view();
    FakeView& window = platform.fakeView;
    FakeUi& ui = platform.fakeUi;
    FakeSystem& system = platform.fakeSystem;
    TempDir work;

    void SetUp() override {
        ClearEndpointVariables();
        auto& endpoints = platform.fakeSettings.strings;
        endpoints[{"Endpoints", "LaunchAddress"}] = kLaunch;
        endpoints[{"Endpoints", "VideoDomain"}] = kVideoDomain;
        endpoints[{"Endpoints", "VideoWebHost"}] = kVideoWebHost;
        endpoints[{"Endpoints", "ThumbnailHost"}] = kThumbnailHost;
        endpoints[{"Endpoints", "AdvertHost"}] = kAdvertHost;
        app.ProductKey = "QenRuntime";
        app.ExePath = "/opt/qen/QenRuntime.exe";
        app.WorkFolder = work.path();
        app.HomePage = work / "help.html";
        view.Attach(&window);
    }

    std::string W(const std::string& name) const { return work / name; }

    // The user is on `page` (a file of the work folder) when the link is followed.
    void OnPage(const std::string& page) { window.currentAddress = W(page); }
};

}  // namespace qen::test
