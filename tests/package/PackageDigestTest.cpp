#include "package/PackageDigest.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "package/PackageSecrets.h"

namespace qen {
namespace {

TEST(PackageDigest, StandardDigestsInLowerCaseHex) {
    EXPECT_EQ(HexDigest(DigestKind::Md5, "abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(HexDigest(DigestKind::Sha1, "abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST(PackageDigest, KeyedDigestLayout) {
    PackageDigest digest;
    const std::string data(6000, 'q');
    const std::string keyed =
        digest.KeyedPackageDigest(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()).value_or("");

    const std::string all = std::string(DigestPrefix()) + data + std::string(DigestSuffix());
    const std::string s = HexDigest(DigestKind::Sha1, all), m = HexDigest(DigestKind::Md5, all);
    ASSERT_EQ(keyed.size(), 72u);
    EXPECT_EQ(keyed.substr(0, 22), s.substr(18));
    EXPECT_EQ(keyed.substr(22, 20), m.substr(12));
    EXPECT_EQ(keyed.substr(42, 18), s.substr(0, 18));
    EXPECT_EQ(keyed.substr(60, 12), m.substr(0, 12));
    EXPECT_EQ(ComputeKeyedPackageDigest(data), keyed);
    EXPECT_NE(ComputeKeyedPackageDigest(std::string(6000, 'r')), keyed);
}

TEST(PackageDigest, StoredDigestComparesIgnoringCaseAtExactlyFullLength) {
    const std::string computed = ComputeKeyedPackageDigest("header");
    std::string upper = computed;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string changed = computed;
    changed[40] = changed[40] == '0' ? '1' : '0';

    EXPECT_TRUE(KeyedDigestsMatch(computed, computed));
    EXPECT_TRUE(KeyedDigestsMatch(upper, computed));
    EXPECT_FALSE(KeyedDigestsMatch(changed, computed));
    EXPECT_FALSE(KeyedDigestsMatch(computed.substr(0, 71), computed));
    EXPECT_FALSE(KeyedDigestsMatch(computed + "0", computed));
    EXPECT_FALSE(KeyedDigestsMatch("", ""));
}

}  // namespace
}  // namespace qen
