#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "replacer/Replacer.h"
#include "fakes/TempDir.h"

namespace qen::replacer {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::vector<std::string> kArgs = {"QenRuntimeAutoReplaceTool", "none"};

// Name -> bytes of every file in a folder ("/" after a folder's name).
std::map<std::string, std::string> Contents(const Path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::directory_iterator(folder.Bytes())) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory())
            contents[name + "/"] = "";
        else
            contents[name] = ReadFile(folder / name);
    }
    return contents;
}

void WriteProgram(const Path& path, const std::string& bytes, fs::perms mode = fs::perms(0755)) {
    WriteFile(path, bytes);
    fs::permissions(path.Bytes(), mode);
}

// The shell's quoting of a path with no "'" in it.
std::string Quoted(const Path& path) { return "'" + path.Bytes() + "'"; }

// Stands in for the process start: a start that works never returns, so it is thrown.
struct Started {
    Path program;
    std::vector<std::string> args;
    std::map<std::string, std::string> folder;  // the folder at that moment
};

class FakeEdge : public Edge {
public:
    std::optional<Path> own;
    std::optional<std::string> startFailure;  // the reason a start fails; nullopt: it works
    int starts = 0;

    std::optional<Path> OwnPath() override { return own; }
    std::string StartInPlace(const Path& program, const std::vector<std::string>& args) override {
        ++starts;
        if (!startFailure) throw Started{program, args, Contents(program.Folder())};
        return *startFailure;
    }
};

class ReplacerTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteProgram(dir / "QenRuntime", "old program", fs::perms(0750));
        WriteProgram(dir / "QenRuntime2", "new program");
        WriteProgram(dir / "QenRuntimeAutoReplaceTool", "replacer");
        edge.own = dir / "QenRuntimeAutoReplaceTool";
    }

    int Run(const std::vector<std::string>& args = kArgs) { return RunReplacer(args, edge, err); }

    TempDir dir;
    FakeEdge edge;
    std::ostringstream err;
};

TEST_F(ReplacerTest, PutsTheNewProgramInPlaceAndStartsIt) {
    const struct {
        const char* name;
        bool oldProgramThere;
        std::vector<std::string> args;
        std::vector<std::string> passedOn;  // what the new program gets after its own path
    } cases[] = {
        {"old program there", true, kArgs, {}},
        {"old program gone", false, kArgs, {}},
        {"with the package the runtime had open", true,
         {"QenRuntimeAutoReplaceTool", "none", "/home/a b/Dog Training.qen"}, {"/home/a b/Dog Training.qen"}},
    };
    for (const auto& c : cases) {
        TempDir folder;
        if (c.oldProgramThere) WriteProgram(folder / "QenRuntime", "old program");
        WriteProgram(folder / "QenRuntime2", "new program");
        WriteProgram(folder / "QenRuntimeAutoReplaceTool", "replacer");
        edge.own = folder / "QenRuntimeAutoReplaceTool";
        try {
            Run(c.args);
            ADD_FAILURE() << c.name << ": nothing was started";
        } catch (const Started& started) {
            std::vector<std::string> expected{(folder / "QenRuntime").Bytes()};
            expected.insert(expected.end(), c.passedOn.begin(), c.passedOn.end());
            EXPECT_EQ(started.program, folder / "QenRuntime") << c.name;
            EXPECT_EQ(started.args, expected) << c.name;
            // Nothing but the program is left: no second copy, no replacer.
            EXPECT_EQ(started.folder, (std::map<std::string, std::string>{{"QenRuntime", "new program"}})) << c.name;
        }
        EXPECT_EQ(err.str(), "") << c.name;
    }
}

TEST_F(ReplacerTest, RefusesWithoutChangingAnything) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::function<void()> arrange;
        int code;
        std::string reason;
    } cases[] = {
        {"no argument", {"QenRuntimeAutoReplaceTool"}, [] {}, 2, "usage"},
        {"another argument", {"QenRuntimeAutoReplaceTool", "all"}, [] {}, 2, "usage"},
        {"another argument before the file", {"QenRuntimeAutoReplaceTool", "all", "x.qen"}, [] {}, 2, "usage"},
        {"one argument too many", {"QenRuntimeAutoReplaceTool", "none", "x.qen", "y"}, [] {}, 2, "usage"},
        {"own folder unknown", kArgs, [this] { edge.own.reset(); }, 1, "own folder"},
        {"no new program", kArgs, [this] { fs::remove((dir / "QenRuntime2").Bytes()); }, 1, "no new program"},
        {"new program is a folder", kArgs,
         [this] {
             fs::remove((dir / "QenRuntime2").Bytes());
             test::MakeFolders(dir / "QenRuntime2");
         },
         1, "no new program"},
        {"new program may not be run", kArgs, [this] { fs::permissions((dir / "QenRuntime2").Bytes(), fs::perms(0644)); }, 1,
         "may not be run"},
        {"old program is a folder", kArgs,
         [this] {
             fs::remove((dir / "QenRuntime").Bytes());
             test::MakeFolders(dir / "QenRuntime");
         },
         1, "not a program file"},
    };
    for (const auto& c : cases) {
        SetUp();
        c.arrange();
        const auto before = Contents(dir.path());
        err.str("");

        EXPECT_EQ(Run(c.args), c.code) << c.name;

        EXPECT_EQ(edge.starts, 0) << c.name;
        EXPECT_EQ(Contents(dir.path()), before) << c.name;
        EXPECT_EQ(err.str().rfind("QenRuntimeAutoReplaceTool: ", 0), 0u) << err.str();
        EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
        fs::remove_all((dir / "QenRuntime").Bytes());
        fs::remove_all((dir / "QenRuntime2").Bytes());
    }
}

TEST_F(ReplacerTest, NewProgramThatWillNotStartGivesTheOldOneBack) {
    edge.startFailure = "Exec format error";

    EXPECT_EQ(Run(), 1);

    EXPECT_EQ(Contents(dir.path()),
              (std::map<std::string, std::string>{{"QenRuntime", "old program"}, {"QenRuntime2", "new program"}}));
    EXPECT_EQ(fs::status((dir / "QenRuntime").Bytes()).permissions(), fs::perms(0750));
    EXPECT_NE(err.str().find("cannot start \"" + (dir / "QenRuntime").Bytes() + "\": Exec format error"), std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("the previous program was put back"), std::string::npos) << err.str();
}

// Killed at any moment while it puts the old program back, the folder still holds one whole
// program: the old one or the new one, never none and never part of one.
TEST_F(ReplacerTest, AnUndoCutShortAtAnyMomentLeavesAWholeProgram) {
    const std::string oldProgram(2 << 20, 'o');
    const std::string newProgram(2 << 20, 'n');
    std::mt19937 random(7);
    for (int attempt = 0; attempt < 60; ++attempt) {
        WriteProgram(dir / "QenRuntime", oldProgram, fs::perms(0750));
        WriteProgram(dir / "QenRuntime2", newProgram);
        ProgramSwap swap(dir.path());
        std::string error;
        ASSERT_TRUE(swap.Apply(error)) << error;
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            swap.Undo(error);
            _exit(0);
        }
        usleep(static_cast<useconds_t>(random() % 40000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        ASSERT_TRUE(test::Exists(dir / "QenRuntime")) << "attempt " << attempt << ": no program file";
        const std::string program = ReadFile(dir / "QenRuntime");
        EXPECT_TRUE(program == oldProgram || program == newProgram) << "attempt " << attempt << ": " << program.size();
        for (const char* left : {"QenRuntime2", "QenRuntime.saving", "QenRuntime2.saving"}) fs::remove((dir / left).Bytes());
    }
}

// The built program on a folder of dummy programs that record that they ran.
class ReplacerProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(QEN_TOOL_PROGRAM, (dir / "QenRuntimeAutoReplaceTool").Bytes());
        WriteProgram(dir / "QenRuntime", Script("old"));
    }

    std::string Script(const std::string& which) const {
        return "#!/bin/sh\necho " + which + " \"$0\" \"$@\" >> " + Quoted(logs / "ran") + "\n";
    }

    // The exit status as the shell reports it; `extra` is appended to the command line as it stands.
    int RunProgram(const std::string& extra = "") const {
        const std::string command =
            Quoted(dir / "QenRuntimeAutoReplaceTool") + " none" + extra + " 2> " + Quoted(logs / "stderr");
        return std::system(command.c_str());
    }

    TempDir dir;
    TempDir logs;
};

TEST_F(ReplacerProgramTest, TheNewProgramComesBackInPlaceOfTheOld) {
    WriteProgram(dir / "QenRuntime2", Script("new"));

    EXPECT_EQ(RunProgram(), 0) << ReadFile(logs / "stderr");

    EXPECT_EQ(ReadFile(logs / "ran"), "new " + (dir / "QenRuntime").Bytes() + "\n");
    EXPECT_EQ(Contents(dir.path()), (std::map<std::string, std::string>{{"QenRuntime", Script("new")}}));
}

TEST_F(ReplacerProgramTest, TheNewProgramOpensThePackageTheOldOneHadOpen) {
    WriteProgram(dir / "QenRuntime2", Script("new"));

    EXPECT_EQ(RunProgram(" '/home/a b/Dog Training.qen'"), 0) << ReadFile(logs / "stderr");

    EXPECT_EQ(ReadFile(logs / "ran"), "new " + (dir / "QenRuntime").Bytes() + " /home/a b/Dog Training.qen\n");
}

TEST_F(ReplacerProgramTest, ANewProgramThatCannotRunLeavesTheOldOne) {
    WriteProgram(dir / "QenRuntime2", "neither a script nor a program\n");

    EXPECT_NE(RunProgram(), 0);

    EXPECT_EQ(ReadFile(logs / "ran"), "");
    EXPECT_EQ(ReadFile(dir / "QenRuntime"), Script("old"));
    EXPECT_TRUE(test::Exists(dir / "QenRuntime2"));
    EXPECT_NE(ReadFile(logs / "stderr").find("cannot start"), std::string::npos) << ReadFile(logs / "stderr");

    // The old program still runs.
    EXPECT_EQ(std::system(Quoted(dir / "QenRuntime").c_str()), 0);
    EXPECT_EQ(ReadFile(logs / "ran"), "old " + (dir / "QenRuntime").Bytes() + "\n");
}

}  // namespace
}  // namespace qen::replacer
