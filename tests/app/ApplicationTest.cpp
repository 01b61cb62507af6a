#include <gtest/gtest.h>

#include <filesystem>

#include "app/Application.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"

namespace qen {
namespace {

namespace fs = std::filesystem;

TEST(LaunchedPrograms, CleanUpWaitsForEachInTheOrderTheyWereAdded) {
    test::FakePlatform platform;
    Application app(platform, platform.fakeFetcher, platform.fakeUi.Dialogs());
    for (ProcessHandle handle : {7, 3, 9}) app.AddLaunchedProgram(handle);

    app.CleanUp();

    EXPECT_EQ(platform.fakeSystem.waitedFor, (std::vector<ProcessHandle>{7, 3, 9}));
}

TEST(LaunchedPrograms, HoldsAtMostTwoHundredAndIgnoresTheRest) {
    test::FakePlatform platform;
    Application app(platform, platform.fakeFetcher, platform.fakeUi.Dialogs());
    for (ProcessHandle handle = 1; handle <= 205; ++handle) app.AddLaunchedProgram(handle);

    app.CleanUp();

    ASSERT_EQ(platform.fakeSystem.waitedFor.size(), 200u);
    EXPECT_EQ(platform.fakeSystem.waitedFor.back(), 200);
}

TEST(CleanUp, RemovesTheWorkFolderOnlyWhenThereIsOne) {
    test::TempDir temp;
    test::FakePlatform platform;
    Application app(platform, platform.fakeFetcher, platform.fakeUi.Dialogs());
    app.CleanUp();  // no work folder yet: nothing to remove, nothing breaks
    EXPECT_TRUE(test::Exists(temp.path()));

    app.session().WorkFolder = temp / "lumfiles__5/";
    fs::create_directory(app.session().WorkFolder.Bytes());
    test::WriteFile(app.session().WorkFolder / "index.html", "x");
    app.CleanUp();
    EXPECT_FALSE(test::Exists(app.session().WorkFolder));
}

TEST(ExitWithoutSaving, CleansUpAndEndsWithCodeOne) {
    test::TempDir temp;
    test::FakePlatform platform;
    Application app(platform, platform.fakeFetcher, platform.fakeUi.Dialogs());
    app.session().WorkFolder = temp / "lumfiles__6/";
    fs::create_directory(app.session().WorkFolder.Bytes());
    app.AddLaunchedProgram(42);

    try {
        app.ExitWithoutSaving();
        FAIL() << "the process should have ended";
    } catch (const test::ProcessEnded& ended) {
        EXPECT_EQ(ended.code, 1);
    }
    EXPECT_EQ(platform.fakeSystem.waitedFor, (std::vector<ProcessHandle>{42}));
    EXPECT_FALSE(test::Exists(app.session().WorkFolder));
}

}  // namespace
}  // namespace qen
