#include "package/MembersAhead.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "fakes/TempDir.h"
#include "fakes/TestPackages.h"

namespace qen {
namespace {

// Large enough for members to be read on threads of their own; odd sizes, so most members
// start inside a cipher block.
PackageDescription LargeSite() {
    PackageDescription site = test::SmallSite();
    std::mt19937 random(7);
    for (int n = 0; n < 9; ++n) {
        std::string bytes(200'003 + 17 * n, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        site.members.push_back({"photo" + std::to_string(n) + ".jpg", bytes});
    }
    return site;
}

class MembersAheadTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteFile(path, test::MakeBlock(description));
        ASSERT_TRUE(package.FindBlock(ReadableFile::Open(path)));
        ASSERT_TRUE(package.CheckPackageHeader("corrupt"));
        ASSERT_TRUE(package.CheckContent("corrupt"));
    }

    const PackageDescription description = LargeSite();
    test::TempDir dir;
    const Path path = dir / "site.qen";
    ContentPackage package;
};

TEST_F(MembersAheadTest, GivesEveryMemberInOrderAndThenNothing) {
    MembersAhead ahead(package, package.Members());
    std::string bytes;
    for (const PackageFile& member : description.members) {
        ASSERT_TRUE(ahead.Next(bytes)) << member.name;
        EXPECT_TRUE(bytes == member.data) << member.name;
    }
    EXPECT_FALSE(ahead.Next(bytes));
}

// A file cut short after the check fails the members it no longer holds, at their places,
// and one left before every member was taken ends without waiting for the rest.
TEST_F(MembersAheadTest, AMemberTheFileNoLongerHoldsFailsInItsPlace) {
    const std::vector<PackageMember> members = package.Members();
    // In the middle of the ninth member: those before it are whole.
    std::filesystem::resize_file(path.Bytes(), package.BlockStart + members[8].offset + 1000);
    {
        MembersAhead ahead(package, members);
        std::string bytes;
        for (std::size_t place = 0; place < members.size(); ++place) {
            EXPECT_EQ(ahead.Next(bytes), place < 8) << members[place].name;
        }
    }
    MembersAhead leftEarly(package, members);
    std::string bytes;
    EXPECT_TRUE(leftEarly.Next(bytes));
}

}  // namespace
}  // namespace qen
