#include "app/FileTypes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeSystem.h"
#include "fakes/TempDir.h"

namespace qen::test {
namespace {

// Points XDG_DATA_HOME and HOME at the test's folders and puts them back afterwards.
struct FileTypesFixture : ::testing::Test {
    TempDir data;
    FakeSystem system;
    std::optional<std::string> savedDataHome, savedHome;

    void SetUp() override {
        if (const char* value = std::getenv("XDG_DATA_HOME")) savedDataHome = value;
        if (const char* value = std::getenv("HOME")) savedHome = value;
        setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    }
    void TearDown() override {
        Restore("XDG_DATA_HOME", savedDataHome);
        Restore("HOME", savedHome);
    }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    std::string Desktop() const { return ReadFile(data / "applications/qen-runtime.desktop"); }
};

TEST_F(FileTypesFixture, WritesTheTypesAndTheOpenCommand) {
    RegisterFileTypes(system, "/opt/My Programs/Qen Runtime");

    const std::string mime = ReadFile(data / "mime/packages/qen-runtime.xml");
    EXPECT_NE(mime.find("<mime-type type=\"application/x-qen_auto_file\">"), std::string::npos);
    EXPECT_NE(mime.find("<mime-type type=\"application/x-lum_auto_file\">"), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.qen\"/>"), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.lum\"/>"), std::string::npos);

    const std::string desktop = Desktop();
    EXPECT_EQ(desktop.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(desktop.find("\nExec=\"/opt/My Programs/Qen Runtime\" %f\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nMimeType=application/x-qen_auto_file;application/x-lum_auto_file;\n"),
              std::string::npos);

    ASSERT_GE(system.ran.size(), 2u);
    EXPECT_EQ(system.ran[0].args, (std::vector<std::string>{"update-mime-database", data / "mime"}));
    EXPECT_EQ(system.ran[1].args,
              (std::vector<std::string>{"update-desktop-database", data / "applications"}));
}

TEST_F(FileTypesFixture, RepeatedRegistrationReplacesTheCommand) {
    RegisterFileTypes(system, "/old/QenRuntime");
    RegisterFileTypes(system, "/new/QenRuntime");
    EXPECT_EQ(Desktop().find("/old/"), std::string::npos);
    EXPECT_NE(Desktop().find("Exec=\"/new/QenRuntime\" %f"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data / "applications"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(OpenCommand, PathIsQuotedAndEscapedByTheDesktopEntryRules) {
    struct Case {
        std::string path;
        std::optional<std::string> command;
    };
    const std::vector<Case> cases = {
        {"/opt/qen/QenRuntime", "\"/opt/qen/QenRuntime\" %f"},
        {"/a b/q", "\"/a b/q\" %f"},
        {"/a\"b/q", "\"/a\\\\\"b/q\" %f"},
        {"/$HOME/`x`", "\"/\\\\$HOME/\\\\`x\\\\`\" %f"},
        {"/a\\b", "\"/a\\\\\\\\b\" %f"},
        {"/100%/q", "\"/100%%/q\" %f"},
        {"/a\nExec=evil", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(OpenCommandFor(c.path), c.command) << c.path;
}

TEST_F(FileTypesFixture, PathThatCannotBeWrittenLeavesNoDesktopEntry) {
    RegisterFileTypes(system, "/a\nExec=evil");
    EXPECT_FALSE(std::filesystem::exists(data / "applications/qen-runtime.desktop"));
}

TEST_F(FileTypesFixture, FailuresAreSilent) {
    // The data folder is a file: nothing can be created under it.
    WriteFile(data / "blocked", "x");
    setenv("XDG_DATA_HOME", (data / "blocked").c_str(), 1);
    RegisterFileTypes(system, "/opt/qen/QenRuntime");
    EXPECT_TRUE(system.ran.empty());

    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    RegisterFileTypes(system, "/opt/qen/QenRuntime");
    EXPECT_TRUE(system.ran.empty());
}

TEST_F(FileTypesFixture, WithoutADataHomeTheHomeFolderIsUsed) {
    for (const char* dataHome : {"", "relative/path"}) {
        setenv("XDG_DATA_HOME", dataHome, 1);
        setenv("HOME", data.path().c_str(), 1);
        EXPECT_EQ(UserDataHome(), data / ".local/share/") << dataHome;
    }
    RegisterFileTypes(system, "/opt/qen/QenRuntime");
    EXPECT_TRUE(std::filesystem::exists(data / ".local/share/applications/qen-runtime.desktop"));
}

}  // namespace
}  // namespace qen::test
