#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fakes/TempDir.h"
#include "update/ProgramFile.h"

namespace qen {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

fs::perms Mode(unsigned bits) { return static_cast<fs::perms>(bits); }
fs::perms ModeOf(const Path& path) { return fs::status(path.Bytes()).permissions(); }

TEST(ProgramPermissions, ExecuteWhereverTheFileMayBeRead) {
    const struct {
        unsigned kept, expected;
    } cases[] = {
        {0644, 0755}, {0600, 0700}, {0640, 0750}, {0666, 0777}, {0400, 0500}, {0200, 0200},
        {04644, 0755},  // a set-id bit of an earlier file is not kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramPermissions(Mode(c.kept)), Mode(c.expected)) << std::oct << c.kept;
}

TEST(WriteProgramFile, WritesTheBytesAsAProgram) {
    const std::string bytes("\x7f" "ELF\0\x01", 6);
    const struct {
        const char* name;
        bool leftoverThere;
    } cases[] = {
        {"new file", false},
        {"over an older, longer leftover", true},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const Path path = dir / "QenRuntime2";
        if (c.leftoverThere) {
            WriteFile(path, "an older, longer leftover");
            fs::permissions(path.Bytes(), Mode(0644));
        }

        ASSERT_TRUE(WriteProgramFile(path, bytes)) << c.name;
        EXPECT_TRUE(ReadFile(path) == bytes) << c.name;
        const fs::perms mode = ModeOf(path);
        EXPECT_NE(mode & fs::perms::owner_exec, fs::perms::none) << c.name;
        EXPECT_EQ(ProgramPermissions(mode), mode) << c.name;
        // Nothing but the program is left in the folder.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path().Bytes()), fs::directory_iterator()), 1) << c.name;
    }
}

TEST(WriteProgramFile, AFileThatCannotBeWrittenIsReported) {
    TempDir dir;
    // A folder in the way fails the write even for a user who may write anywhere.
    const Path path = dir / "QenRuntime2";
    fs::create_directory(path.Bytes());

    const Outcome written = WriteProgramFile(path, "program");
    EXPECT_FALSE(written);
    EXPECT_EQ(written.Message(), "Failed to write file " + path.Display());
    EXPECT_TRUE(fs::is_directory(path.Bytes()));
}

}  // namespace
}  // namespace qen
