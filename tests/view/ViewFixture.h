#pragma once
// The view with the scripted window attached, the data it works on, a real work folder and
// endpoints of its own, so no test depends on the public hosts or the environment.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Session.h"
#include "fakes/EndpointVariables.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"
#include "package/ContentSite.h"
#include "store/VideoStore.h"
#include "articles/ArticleLibrary.h"
#include "videos/VideoCatalogue.h"
#include "view/ApplicationControl.h"
#include "view/BrowserView.h"

namespace qen::test {

inline const char* const kLaunch = "http://launch.test/";
inline const char* const kVideoDomain = "videos.test";
inline const char* const kVideoWebHost = "www.videos.test";
inline const char* const kThumbnailHost = "img.videos.test";
inline const char* const kAdvertHost = "ads.test";

struct FakeApplicationControl : ApplicationControl {
    std::vector<ProcessHandle> launched;
    int backupCommands = 0;
    void AddLaunchedProgram(ProcessHandle handle) override { launched.push_back(handle); }
    void RunBackupCommand() override { ++backupCommands; }
};

struct ViewFixture : ::testing::Test {
    FakePlatform platform;
    Session session;
    ContentSite site;
    VideoStore store;
    FakeApplicationControl control;
    FakeFetcher& fetcher = platform.fakeFetcher;
    VideoCatalogue videos{platform.fakeUi, platform.fakeUi, fetcher, store, platform.fakeSettings, site};
    ArticleLibrary articles{platform.fakeUi, fetcher, store, platform.fakeSettings, site};
    BrowserView view{platform, platform.fakeUi, platform.fakeUi, platform.fakeUi, session, site, store, fetcher, videos, articles, control};
    FakeView& window = platform.fakeView;
    FakeUi& ui = platform.fakeUi;
    FakeSystem& system = platform.fakeSystem;
    TempDir work;
    ScopedEnvironment environment;

    void SetUp() override {
        ClearEndpointVariables(environment);
        auto& endpoints = platform.fakeSettings.strings;
        endpoints[{"Endpoints", "LaunchAddress"}] = kLaunch;
        endpoints[{"Endpoints", "VideoDomain"}] = kVideoDomain;
        endpoints[{"Endpoints", "VideoWebHost"}] = kVideoWebHost;
        endpoints[{"Endpoints", "ThumbnailHost"}] = kThumbnailHost;
        endpoints[{"Endpoints", "AdvertHost"}] = kAdvertHost;
        session.ProductKey = "QenRuntime";
        session.ExePath = Path("/opt/qen/QenRuntime.exe");
        SetWorkFolder(work.path());
        session.HomePage = work / "help.html";
        view.Attach(&window);
    }

    void SetWorkFolder(const Path& folder) {
        session.WorkFolder = folder;
        site.WorkFolder = folder;
    }

    std::string W(const std::string& name) const { return (work / name).Bytes(); }

    // The user is on `page` (a file of the work folder) when the link is followed.
    void OnPage(const std::string& page) { window.currentAddress = W(page); }
};

}  // namespace qen::test
