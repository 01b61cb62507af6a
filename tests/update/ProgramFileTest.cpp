#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "update/ProgramFile.h"

namespace qen {
namespace {

namespace fs = std::filesystem;
using test::FakeUi;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

fs::perms Mode(unsigned bits) { return static_cast<fs::perms>(bits); }

TEST(ProgramPermissions, ExecuteWhereverTheFileMayBeRead) {
    const struct {
        unsigned written, expected;
    } cases[] = {
        {0644, 0755}, {0600, 0700}, {0640, 0750}, {0666, 0777}, {0400, 0500}, {0200, 0200},
        {04644, 0755},  // a set-id bit of an earlier file is not kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramPermissions(Mode(c.written)), Mode(c.expected)) << std::oct << c.written;
}

TEST(WriteProgramFile, WritesTheBytesAsAProgram) {
    TempDir dir;
    FakeUi ui;
    const std::string path = dir / "QenRuntime2";
    WriteFile(path, "an older, longer leftover");
    const std::string bytes("\x7f" "ELF\0\x01", 6);

    ASSERT_TRUE(WriteProgramFile(ui, path, bytes));
    EXPECT_TRUE(ReadFile(path) == bytes);
    const fs::perms mode = fs::status(path).permissions();
    EXPECT_NE(mode & fs::perms::owner_exec, fs::perms::none);
    EXPECT_EQ(ProgramPermissions(mode), mode);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(WriteProgramFile, AFileThatCannotBeWrittenIsReported) {
    TempDir dir;
    FakeUi ui;
    // A folder in the way fails the write even for a user who may write anywhere.
    const std::string path = dir / "QenRuntime2";
    fs::create_directory(path);

    EXPECT_FALSE(WriteProgramFile(ui, path, "program"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Failed to write file " + path);
    EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
    EXPECT_TRUE(fs::is_directory(path));
}

}  // namespace
}  // namespace qen
