#include <gtest/gtest.h>

#include <filesystem>

#include "app/CVantlowApp.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"

namespace qen {
namespace {

namespace fs = std::filesystem;

TEST(LaunchedPrograms, CleanUpWaitsForEachInTheOrderTheyWereAdded) {
    test::FakePlatform platform;
    CVantlowApp app(platform);
    for (ProcessHandle handle : {7, 3, 9}) app.AddLaunchedProgram(handle);

    app.CleanUp();

    EXPECT_EQ(platform.fakeSystem.waitedFor, (std::vector<ProcessHandle>{7, 3, 9}));
}

TEST(LaunchedPrograms, HoldsAtMostTwoHundredAndIgnoresTheRest) {
    test::FakePlatform platform;
    CVantlowApp app(platform);
    for (ProcessHandle handle = 1; handle <= 205; ++handle) app.AddLaunchedProgram(handle);

    app.CleanUp();

    ASSERT_EQ(platform.fakeSystem.waitedFor.size(), 200u);
    EXPECT_EQ(platform.fakeSystem.waitedFor.back(), 200);
}

TEST(CleanUp, RemovesTheWorkFolderOnlyWhenThereIsOne) {
    test::TempDir temp;
    test::FakePlatform platform;
    CVantlowApp app(platform);
    app.CleanUp();  // no work folder yet: nothing to remove, nothing breaks
    EXPECT_TRUE(fs::exists(temp.path()));

    app.WorkFolder = temp.path() + "lumfiles__5/";
    fs::create_directory(app.WorkFolder);
    test::WriteFile(app.WorkFolder + "index.html", "x");
    app.CleanUp();
    EXPECT_FALSE(fs::exists(app.WorkFolder));
}

TEST(ExitWithoutSaving, CleansUpAndEndsWithCodeOne) {
    test::TempDir temp;
    test::FakePlatform platform;
    CVantlowApp app(platform);
    app.WorkFolder = temp.path() + "lumfiles__6/";
    fs::create_directory(app.WorkFolder);
    app.AddLaunchedProgram(42);

    try {
        app.ExitWithoutSaving();
        FAIL() << "the process should have ended";
    } catch (const test::ProcessEnded& ended) {
        EXPECT_EQ(ended.code, 1);
    }
    EXPECT_EQ(platform.fakeSystem.waitedFor, (std::vector<ProcessHandle>{42}));
    EXPECT_FALSE(fs::exists(app.WorkFolder));
}

}  // namespace
}  // namespace qen
