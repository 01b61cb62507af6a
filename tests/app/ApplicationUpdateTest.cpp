#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/Application.h"
#include "fakes/FakePlatform.h"
#include "fakes/ScopedEnvironment.h"
#include "fakes/StartUpFolders.h"
#include "fakes/TempDir.h"
#include "fakes/TestPackages.h"
#include "update/UpdateKey.h"
#include "update/UpdateSignature.h"

namespace qen {
namespace {

namespace fs = std::filesystem;
using test::WriteFile;

const VersionNumber kNext = RunningVersion() + 1;

// A start-up that ends in an installed update: the program is a standard copy, the server
// offers the next version, and the user accepts it.
class ApplicationUpdateTest : public ::testing::Test, protected test::StartUpFolders {
protected:
    void SetUp() override {
        Prepare(platform);
        environment.Set("QEN_UPDATE_HOST", "update.test").Set("QEN_DOWNLOAD_HOST", "download.test");
        const UpdateKeyPair keys = *GenerateUpdateKeyPair();
        WriteFile(program / std::string(kUpdateKeyFileName), FormatUpdatePublicKey(keys.publicKey));
        auto publish = [&](const std::string& url, const std::string& bytes, UpdateFileKind kind) {
            platform.fakeFetcher.answers[url] = bytes;
            platform.fakeFetcher.answers[url + ".sig"] = *SignUpdateFile(keys.privateKey, kind, kNext, bytes);
        };
        platform.fakeFetcher.answers["http://update.test/qenruntime/version.txt"] =
            std::to_string(kNext) + "\r\nQen Runtime\r\n";
        publish("http://download.test/QenRuntime", "new program", UpdateFileKind::Program);
        publish("http://download.test/QenRuntimeAutoReplaceTool", "replacer", UpdateFileKind::Replacer);
        platform.fakeUi.answers.push_back(Answer::Yes);
    }

    // Starts with `args` after the program's own path; gives the replacer's arguments.
    std::vector<std::string> StartUntilHandOver(const std::vector<std::string>& args) {
        std::vector<std::string> commandLine{exe.Bytes()};
        commandLine.insert(commandLine.end(), args.begin(), args.end());
        try {
            app.Start(commandLine);
            ADD_FAILURE() << "start-up did not hand over to the replacer";
        } catch (const test::ProcessReplaced& replaced) {
            EXPECT_EQ(replaced.program, (program / "QenRuntimeAutoReplaceTool").Bytes());
            return replaced.args;
        }
        return {};
    }

    bool WorkFolderLeft() const {
        for (const auto& entry : fs::directory_iterator(temp.path().Bytes()))
            if (entry.path().filename().string().starts_with("lumfiles__")) return true;
        return false;
    }

    test::ScopedEnvironment environment;
    test::FakePlatform platform;
    Application app{platform, platform.fakeFetcher, platform.fakeUi.Dialogs()};
};

TEST_F(ApplicationUpdateTest, PackageBesideTheProgramIsFoundAgainByTheNewProgram) {
    WriteFile(program / "Dogs.qen", test::MakeBlock(test::SmallSite()));

    EXPECT_EQ(StartUntilHandOver({}), (std::vector<std::string>{"QenRuntimeAutoReplaceTool", "none"}));

    EXPECT_TRUE(test::Exists(program / "Dogs.lum"));  // saved before the hand-over
    EXPECT_FALSE(WorkFolderLeft());
}

TEST_F(ApplicationUpdateTest, PackageOpenedFromElsewhereIsGivenToTheNewProgram) {
    test::TempDir documents;
    const Path package = documents / "Dog Training.qen";
    WriteFile(package, test::MakeBlock(test::SmallSite()));

    EXPECT_EQ(StartUntilHandOver({package.Bytes()}),
              (std::vector<std::string>{"QenRuntimeAutoReplaceTool", "none", package.Bytes()}));

    EXPECT_TRUE(test::Exists(documents / "Dog Training.lum"));
    EXPECT_FALSE(WorkFolderLeft());
}

}  // namespace
}  // namespace qen
