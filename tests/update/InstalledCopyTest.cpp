#include "update/InstalledCopy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fakes/TempDir.h"

namespace qen {
namespace {

TEST(InstalledCopy, ABinFolderWithTheInstallsMetadataBesideIt) {
    const std::string metadata = "share/metainfo/" + std::string(kInstalledMetadataName);
    const struct {
        const char* name;
        std::vector<std::string> files;  // under the scratch prefix
        std::string program;
        bool installed;
    } cases[] = {
        {"installed prefix", {"bin/QenRuntime", metadata}, "bin/QenRuntime", true},
        {"renamed copy in an installed prefix", {"bin/Brand", metadata}, "bin/Brand", true},
        {"bin folder without the metadata", {"bin/QenRuntime"}, "bin/QenRuntime", false},
        {"metadata as a folder", {"bin/QenRuntime", metadata + "/x"}, "bin/QenRuntime", false},
        {"a folder of its own beside an install", {"opt/QenRuntime", metadata}, "opt/QenRuntime", false},
        {"a folder merely ending in bin", {"mybin/QenRuntime", "my" + metadata}, "mybin/QenRuntime", false},
    };
    for (const auto& c : cases) {
        test::TempDir prefix;
        for (const std::string& file : c.files) {
            std::filesystem::create_directories((prefix / file).Folder().Bytes());
            test::WriteFile(prefix / file, "x");
        }
        EXPECT_EQ(IsInstalledCopy(prefix / c.program), c.installed) << c.name;
    }
    EXPECT_FALSE(IsInstalledCopy(Path("QenRuntime")));
    EXPECT_FALSE(IsInstalledCopy(Path()));
}

}  // namespace
}  // namespace qen
