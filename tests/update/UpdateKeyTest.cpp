#include <gtest/gtest.h>

#include <string>

#include "fakes/TempDir.h"
#include "update/UpdateKey.h"

namespace qen {
namespace {

using test::TempDir;
using test::WriteFile;

const std::string kBuiltIn = "1111111111111111111111111111111111111111111111111111111111111111";
const std::string kBeside = "2222222222222222222222222222222222222222222222222222222222222222";

TEST(LoadUpdatePublicKey, KeyFileBesideTheProgramTakesThePlaceOfTheBuiltInKey) {
    const struct {
        const char* name;
        std::optional<std::string> keyFile;  // nullopt: no file
        std::string builtIn;
        std::optional<std::string> expected;
    } cases[] = {
        {"key file wins", kBeside + "\n", kBuiltIn, kBeside},
        {"key file alone", kBeside, "", kBeside},
        {"built-in key alone", std::nullopt, kBuiltIn, kBuiltIn},
        {"no key at all", std::nullopt, "", std::nullopt},
        // A damaged key file never lets another key in.
        {"damaged key file", "not a key", kBuiltIn, std::nullopt},
        {"empty key file", "", kBuiltIn, std::nullopt},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.keyFile) WriteFile(dir / std::string(kUpdateKeyFileName), *c.keyFile);
        const std::optional<UpdatePublicKey> key = LoadUpdatePublicKey(dir.path(), c.builtIn);
        ASSERT_EQ(key.has_value(), c.expected.has_value()) << c.name;
        if (key) {
            EXPECT_EQ(FormatUpdatePublicKey(*key), *c.expected) << c.name;
        }
    }
}

TEST(LoadUpdatePublicKey, OnlyASmallRegularFileIsRead) {
    TempDir dir;
    test::MakeFolders(dir / std::string(kUpdateKeyFileName));
    EXPECT_FALSE(LoadUpdatePublicKey(dir.path(), kBuiltIn));

    TempDir other;
    WriteFile(other / std::string(kUpdateKeyFileName), kBeside + std::string(10000, ' '));
    EXPECT_FALSE(LoadUpdatePublicKey(other.path(), kBuiltIn));
}

}  // namespace
}  // namespace qen
