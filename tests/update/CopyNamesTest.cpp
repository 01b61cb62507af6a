#include <gtest/gtest.h>

#include <string>

#include "update/CopyNames.h"

namespace qen {
namespace {

TEST(ProgramStem, DropsFolderAndExtension) {
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"/opt/qen/QenRuntime", "QenRuntime"},
        {"/home/me/MyTool.bin", "MyTool"},
        {"/home/me/v1.2/Tool", "Tool"},
        {"/home/me/.hidden", ".hidden"},
        {"QenRuntime", "QenRuntime"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgramStem(Path(c.path)), c.expected) << c.path;
}

TEST(RunsUnderStandardName, ExactFileNameAndNoPackageOfItsOwn) {
    const struct {
        const char* path;
        bool bound;
        bool expected;
    } cases[] = {
        {"/opt/qen/QenRuntime", false, true},
        {"/opt/qen/QenRuntime.bin", false, false},
        {"/opt/qen/QenRuntime", true, false},
        {"/opt/qen/qenruntime", false, false},
        {"/opt/qen/QenRuntime2", false, false},
        {"/opt/QenRuntime/Tool", false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunsUnderStandardName(Path(c.path), c.bound), c.expected) << c.path << " bound=" << c.bound;
}

TEST(NextCopyName, CountsUpTheCopyNumber) {
    const struct {
        const char* stem;
        bool standard;
        const char* expected;
    } cases[] = {
        {"QenRuntime", true, "QenRuntime2"},
        {"QenRuntime", false, "QenRuntime_2"},
        {"Tool", false, "Tool_2"},
        {"Tool_3", false, "Tool_4"},
        {"MyTool_9", false, "MyTool_10"},
        {"Tool_10", false, "Tool_11"},
        {"Tool_99", false, "Tool_1"},
        {"Tool_00", false, "Tool_1"},
        {"abc_5", false, "abc_6"},
        {"ab_5", false, "ab_5_2"},      // too short for a copy number
        {"abc_12", false, "abc_13"},
        {"ab_12", false, "ab_12_2"},    // too short for a two-digit copy number
        {"Tool_x", false, "Tool_x_2"},
        {"Tool_123", false, "Tool_123_2"},
        {"Tool3", false, "Tool3_2"},
        {"", false, "_2"},
    };
    for (const auto& c : cases) EXPECT_EQ(NextCopyName(c.stem, c.standard), c.expected) << c.stem;
}

}  // namespace
}  // namespace qen
