#include <gtest/gtest.h>

#include <string>

#include "fakes/FakeSettings.h"
#include "fakes/FakeUi.h"
#include "package/ContentSite.h"
#include "package/TestPackages.h"
#include "update/CarriedPackage.h"

namespace qen {
namespace {

using namespace std::string_literals;

// A bound program's image as the site holds it after reading the branding.
struct OpenedProgram {
    test::FakeUi ui;
    test::FakeSettings settings;
    ContentSite site{ui, settings};

    explicit OpenedProgram(const std::string& image) {
        EXPECT_TRUE(site.FindBlock(image));
        EXPECT_TRUE(site.CheckPackageHeader("corrupt"));
        EXPECT_TRUE(site.ReadBranding());
    }
};

TEST(PackageAsCarried, GivesTheBlockAsTheProgramFileHoldsIt) {
    const std::string block = test::MakeBlock(test::SmallSite());
    const std::string program = "\x7f" "ELF program code\0\0"s;
    const struct {
        const char* name;
        std::string image;
        std::string expected;
    } cases[] = {
        {"block at the end", program + block, block},
        {"bytes after the block", program + block + "tail", block + "tail"},
    };
    for (const auto& c : cases) {
        OpenedProgram opened(c.image);
        // The members really are deciphered in memory, or this would prove nothing.
        ASSERT_NE(opened.site.Package.Image, c.image) << c.name;
        EXPECT_TRUE(PackageAsCarried(opened.site.Package) == c.expected) << c.name;
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
