#include <gtest/gtest.h>

#include <string>

#include "fakes/TestPackages.h"
#include "package/ContentPackage.h"
#include "update/CarriedPackage.h"

namespace qen {
namespace {

using namespace std::string_literals;

// A bound program's image as it is found at start-up, read as far as `branded` says.
ContentPackage OpenedProgram(const std::string& image, bool branded) {
    ContentPackage package;
    package.Embedded = true;
    EXPECT_TRUE(package.FindBlock(image));
    EXPECT_TRUE(package.CheckPackageHeader("corrupt"));
    if (branded) {
        EXPECT_TRUE(package.ReadBranding());
    }
    return package;
}

TEST(PackageAsCarried, GivesTheBlockAsTheProgramFileHoldsIt) {
    const std::string block = test::MakeBlock(test::SmallSite());
    const std::string program = "\x7f" "ELF program code\0\0"s;
    const struct {
        const char* name;
        std::string image;
        bool branded;
        std::string expected;
    } cases[] = {
        {"block at the end", program + block, true, block},
        {"bytes after the block", program + block + "tail", true, block + "tail"},
        {"members not yet deciphered", program + block, false, block},
    };
    for (const auto& c : cases) {
        const ContentPackage package = OpenedProgram(c.image, c.branded);
        // The members really are deciphered in memory, or this would prove nothing.
        if (c.branded) {
            ASSERT_NE(package.Image, c.image) << c.name;
        }
        EXPECT_TRUE(PackageAsCarried(package) == c.expected) << c.name;
    }
}

TEST(PackageAsCarried, ABlockPastTheImageGivesNothing) {
    ContentPackage package;
    package.Image = "short";
    package.BlockStart = 10;
    EXPECT_EQ(PackageAsCarried(package), "");
}

}  // namespace
}  // namespace qen
