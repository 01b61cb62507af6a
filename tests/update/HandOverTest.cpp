#include <gtest/gtest.h>

#include <string>

#include "fakes/FakeSystem.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "update/HandOver.h"

namespace qen {
namespace {

using test::FakeSystem;
using test::FakeUi;
using test::ProcessEnded;
using test::ProcessReplaced;
using test::TempDir;
using test::WriteFile;

TEST(HandOverToReplacer, StandardCopyBecomesTheReplacer) {
    const struct {
        const char* name;
        const char* commandLineFile;
        std::vector<std::string> args;
    } cases[] = {
        {"package beside the program", "", {"QenRuntimeAutoReplaceTool", "none"}},
        // The new program opens the package the user opened, rather than asking for one.
        {"package named on the command line", "/home/a b/Dog Training.qen",
         {"QenRuntimeAutoReplaceTool", "none", "/home/a b/Dog Training.qen"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        FakeUi ui;
        FakeSystem system;
        WriteFile(dir / "QenRuntimeAutoReplaceTool", "replacer");
        try {
            HandOverToReplacer(ui, system, dir / "QenRuntime", false, Path(c.commandLineFile));
            ADD_FAILURE() << c.name << ": the process was neither replaced nor ended";
        } catch (const ProcessReplaced& replaced) {
            EXPECT_EQ(replaced.program, (dir / "QenRuntimeAutoReplaceTool").Bytes()) << c.name;
            EXPECT_EQ(replaced.args, c.args) << c.name;
        }
        EXPECT_TRUE(ui.messages.empty()) << c.name;
    }
}

TEST(HandOverToReplacer, ReplacerThatCannotStartIsReportedAndStartUpEnds) {
    TempDir dir;
    FakeUi ui;
    FakeSystem system;
    system.replaceFails = true;
    WriteFile(dir / "QenRuntimeAutoReplaceTool", "replacer");

    HandOverToReplacer(ui, system, dir / "QenRuntime", false, Path());

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Failed to activate replacer tool to perform upgrade");
    EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
}

TEST(HandOverToReplacer, EveryOtherCopyEndsWithCodeOne) {
    const struct {
        const char* name;
        const char* program;
        bool bound;
        bool replacerThere;
    } cases[] = {
        {"bound copy", "QenRuntime", true, true},
        // A replacer left from an earlier update must not swap another copy's program.
        {"copy under another name", "MyTool_9", false, true},
        {"standard copy without replacer", "QenRuntime", false, false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        FakeUi ui;
        FakeSystem system;
        if (c.replacerThere) WriteFile(dir / "QenRuntimeAutoReplaceTool", "replacer");
        try {
            HandOverToReplacer(ui, system, dir / c.program, c.bound, Path("/home/a/Dog.qen"));
            ADD_FAILURE() << c.name << ": returned";
        } catch (const ProcessEnded& ended) {
            EXPECT_EQ(ended.code, 1) << c.name;
        } catch (const ProcessReplaced&) {
            ADD_FAILURE() << c.name << ": the replacer was started";
        }
        EXPECT_TRUE(ui.messages.empty()) << c.name;
    }
}

TEST(RemoveLeftoverReplacer, OnlyACopyWithoutItsOwnPackageClearsItsFolder) {
    const struct {
        const char* name;
        bool bound;
        bool remains;
    } cases[] = {
        {"separate package", false, false},
        {"bound copy", true, true},
    };
    for (const auto& c : cases) {
        TempDir dir;
        WriteFile(dir / "QenRuntimeAutoReplaceTool", "replacer");
        RemoveLeftoverReplacer(dir / "QenRuntime", c.bound);
        EXPECT_EQ(test::Exists(dir / "QenRuntimeAutoReplaceTool"), c.remains) << c.name;
        EXPECT_TRUE(test::Exists(dir.path())) << c.name;
    }
    TempDir empty;
    RemoveLeftoverReplacer(empty / "QenRuntime", false);  // nothing there: no complaint
}

}  // namespace
}  // namespace qen
