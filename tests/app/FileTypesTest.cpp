#include "app/FileTypes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeSystem.h"
#include "fakes/ScopedEnvironment.h"
#include "fakes/TempDir.h"

namespace qen::test {
namespace {

// Points XDG_DATA_HOME, XDG_DATA_DIRS and HOME at the test's folders and puts them back
// afterwards, so a package installed on the machine does not change what is tested.
struct FileTypesFixture : ::testing::Test {
    TempDir data;
    TempDir systemData;
    FakeSystem system;
    ScopedEnvironment environment;

    void SetUp() override {
        environment.Set("XDG_DATA_HOME", data.path().Bytes())
            .Set("XDG_DATA_DIRS", systemData.path().Bytes())
            .Clear("HOME");
    }
    std::string Desktop() const { return ReadFile(data / "applications/qen-runtime.desktop"); }
    std::vector<std::vector<std::string>> Refreshes() const {
        std::vector<std::vector<std::string>> args;
        for (const StartedProgram& program : system.detached) args.push_back(program.args);
        return args;
    }
};

TEST_F(FileTypesFixture, WritesTheTypesAndTheOpenCommand) {
    RegisterFileTypes(system, Path("/opt/My Programs/Qen Runtime"));

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

    // The caches are refreshed by programs nobody waits for.
    EXPECT_TRUE(system.ran.empty());
    EXPECT_EQ(Refreshes(), (std::vector<std::vector<std::string>>{
                               {"update-mime-database", (data / "mime").Bytes()},
                               {"update-desktop-database", (data / "applications").Bytes()},
                               {"xdg-mime", "default", "qen-runtime.desktop", "application/x-qen_auto_file",
                                "application/x-lum_auto_file"}}));
}

TEST_F(FileTypesFixture, WhatIsAlreadyThereIsNeitherWrittenNorRefreshed) {
    RegisterFileTypes(system, Path("/opt/qen/QenRuntime"));
    // Marks that a rewrite would wipe out: the files' own inode numbers.
    const auto inode = [&](const char* name) {
        struct stat status {};
        return ::stat((data / name).CStr(), &status) == 0 ? status.st_ino : 0;
    };
    const auto mimeInode = inode("mime/packages/qen-runtime.xml");
    const auto desktopInode = inode("applications/qen-runtime.desktop");
    system.detached.clear();

    RegisterFileTypes(system, Path("/opt/qen/QenRuntime"));
    EXPECT_TRUE(system.detached.empty());
    EXPECT_TRUE(system.ran.empty());
    EXPECT_EQ(inode("mime/packages/qen-runtime.xml"), mimeInode);
    EXPECT_EQ(inode("applications/qen-runtime.desktop"), desktopInode);
}

TEST_F(FileTypesFixture, OnlyTheFileThatDiffersIsWrittenAndRefreshed) {
    RegisterFileTypes(system, Path("/opt/qen/QenRuntime"));

    // The program moved: its entry and the default follow it; the types stay as they were.
    system.detached.clear();
    RegisterFileTypes(system, Path("/home/me/QenRuntime"));
    EXPECT_NE(Desktop().find("Exec=\"/home/me/QenRuntime\" %f"), std::string::npos);
    ASSERT_EQ(Refreshes().size(), 2u);
    EXPECT_EQ(Refreshes()[0][0], "update-desktop-database");
    EXPECT_EQ(Refreshes()[1][0], "xdg-mime");

    // Someone changed the types: they are put back and only their cache is refreshed.
    WriteFile(data / "mime/packages/qen-runtime.xml", "<mime-info/>");
    system.detached.clear();
    RegisterFileTypes(system, Path("/home/me/QenRuntime"));
    EXPECT_NE(ReadFile(data / "mime/packages/qen-runtime.xml").find("*.qen"), std::string::npos);
    EXPECT_EQ(Refreshes(), (std::vector<std::vector<std::string>>{{"update-mime-database", (data / "mime").Bytes()}}));
}

TEST_F(FileTypesFixture, RepeatedRegistrationReplacesTheCommand) {
    RegisterFileTypes(system, Path("/old/QenRuntime"));
    RegisterFileTypes(system, Path("/new/QenRuntime"));
    EXPECT_EQ(Desktop().find("/old/"), std::string::npos);
    EXPECT_NE(Desktop().find("Exec=\"/new/QenRuntime\" %f"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator((data / "applications").Bytes()),
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
    for (const Case& c : cases) EXPECT_EQ(OpenCommandFor(Path(c.path)), c.command) << c.path;
}

TEST_F(FileTypesFixture, PathThatCannotBeWrittenLeavesNoDesktopEntry) {
    RegisterFileTypes(system, Path("/a\nExec=evil"));
    EXPECT_FALSE(test::Exists(data / "applications/qen-runtime.desktop"));
}

TEST_F(FileTypesFixture, FailuresAreSilent) {
    // The data folder is a file: nothing can be created under it.
    WriteFile(data / "blocked", "x");
    environment.Set("XDG_DATA_HOME", (data / "blocked").Bytes());
    RegisterFileTypes(system, Path("/opt/qen/QenRuntime"));
    EXPECT_TRUE(system.detached.empty());

    environment.Clear("XDG_DATA_HOME").Clear("HOME");
    RegisterFileTypes(system, Path("/opt/qen/QenRuntime"));
    EXPECT_TRUE(system.detached.empty());
}

TEST_F(FileTypesFixture, WithoutADataHomeTheHomeFolderIsUsed) {
    for (const char* dataHome : {"", "relative/path"}) {
        environment.Set("XDG_DATA_HOME", dataHome).Set("HOME", data.path().Bytes());
        EXPECT_EQ(UserDataHome(), data / ".local/share/") << dataHome;
    }
    RegisterFileTypes(system, Path("/opt/qen/QenRuntime"));
    EXPECT_TRUE(test::Exists(data / ".local/share/applications/qen-runtime.desktop"));
}

TEST_F(FileTypesFixture, InstalledPackageTakesThePlaceOfTheUserRegistration) {
    const std::string desktop = "applications/qen-runtime.desktop";
    const std::string mime = "mime/packages/qen-runtime.xml";
    const struct {
        const char* name;
        std::vector<std::string> firstFolder, secondFolder;
        bool registered;
    } cases[] = {
        {"nothing installed", {}, {}, true},
        {"only the desktop entry", {desktop}, {}, true},
        {"only the file types", {}, {mime}, true},
        {"the two in different folders", {desktop}, {mime}, true},
        {"package in the first folder", {desktop, mime}, {}, false},
        {"package in a later folder", {}, {desktop, mime}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir userData, first, second;
        const auto install = [](const TempDir& folder, const std::vector<std::string>& files) {
            for (const std::string& file : files) {
                std::filesystem::create_directories((folder / file).Folder().Bytes());
                WriteFile(folder / file, "installed");
            }
        };
        install(first, c.firstFolder);
        install(second, c.secondFolder);
        environment.Set("XDG_DATA_HOME", userData.path().Bytes())
            .Set("XDG_DATA_DIRS", first.path().Bytes() + ":" + second.path().Bytes());
        system.detached.clear();

        RegisterFileTypes(system, Path("/opt/qen/QenRuntime"));

        EXPECT_EQ(Exists(userData / desktop), c.registered);
        EXPECT_EQ(Exists(userData / mime), c.registered);
        EXPECT_EQ(system.detached.empty(), !c.registered);
        // Not even an empty folder is made in the user's data folder.
        EXPECT_EQ(std::filesystem::is_empty(userData.path().Bytes()), !c.registered);
    }
}

TEST_F(FileTypesFixture, SystemDataFoldersFollowTheEnvironment) {
    const struct {
        const char* name;
        std::optional<std::string> dataDirs;
        std::vector<std::string> folders;
    } cases[] = {
        {"unset", std::nullopt, {"/usr/local/share/", "/usr/share/"}},
        {"empty", "", {"/usr/local/share/", "/usr/share/"}},
        {"listed, relative and empty entries left out", "/opt/share::relative:/usr/share/", {"/opt/share/", "/usr/share/"}},
        {"folder with blanks and non-ASCII letters", "/opt/My D\xC3\xA4ta", {"/opt/My D\xC3\xA4ta/"}},
    };
    for (const auto& c : cases) {
        if (c.dataDirs) {
            environment.Set("XDG_DATA_DIRS", *c.dataDirs);
        } else {
            environment.Clear("XDG_DATA_DIRS");
        }
        std::vector<std::string> folders;
        for (const Path& folder : SystemDataFolders()) folders.push_back(folder.Bytes());
        EXPECT_EQ(folders, c.folders) << c.name;
    }
}

}  // namespace
}  // namespace qen::test
