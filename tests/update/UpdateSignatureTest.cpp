#include <gtest/gtest.h>

#include <string>

#include "update/UpdateSignature.h"

namespace qen {
namespace {

using namespace std::string_literals;

TEST(UpdateSignedMessage, BindsKindVersionAndDigest) {
    EXPECT_EQ(UpdateSignedMessage(UpdateFileKind::Program, 2, "abc"),
              "qen-update-v1\nprogram\n2\n"
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n");
    EXPECT_EQ(UpdateSignedMessage(UpdateFileKind::Replacer, 10, ""),
              "qen-update-v1\nreplacer\n10\n"
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\n");
}

class SignatureTest : public ::testing::Test {
protected:
    UpdateKeyPair keys = *GenerateUpdateKeyPair();
    UpdateKeyPair otherKeys = *GenerateUpdateKeyPair();
    const std::string file = "\x7f" "ELF new program\0with zero bytes"s;
};

TEST_F(SignatureTest, OnlyTheSignedFileKindAndVersionUnderTheRightKeyPass) {
    const std::string signature = *SignUpdateFile(keys.privateKey, UpdateFileKind::Program, 3, file);
    ASSERT_EQ(signature.size(), kUpdateSignatureBytes);
    std::string flipped = signature;
    flipped[10] = static_cast<char>(flipped[10] ^ 0x01);
    std::string changedFile = file;
    changedFile.back() = 'X';

    const struct {
        const char* name;
        const UpdatePublicKey& key;
        UpdateFileKind kind;
        VersionNumber version;
        std::string file;
        std::string signature;
        bool expected;
    } cases[] = {
        {"as signed", keys.publicKey, UpdateFileKind::Program, 3, file, signature, true},
        {"another key", otherKeys.publicKey, UpdateFileKind::Program, 3, file, signature, false},
        {"file changed", keys.publicKey, UpdateFileKind::Program, 3, changedFile, signature, false},
        {"file cut short", keys.publicKey, UpdateFileKind::Program, 3, file.substr(0, 10), signature, false},
        {"older build offered as newer", keys.publicKey, UpdateFileKind::Program, 4, file, signature, false},
        {"program offered as replacer", keys.publicKey, UpdateFileKind::Replacer, 3, file, signature, false},
        {"signature changed", keys.publicKey, UpdateFileKind::Program, 3, file, flipped, false},
        {"signature cut short", keys.publicKey, UpdateFileKind::Program, 3, file, signature.substr(0, 63), false},
        {"signature too long", keys.publicKey, UpdateFileKind::Program, 3, file, signature + "\n", false},
        {"no signature", keys.publicKey, UpdateFileKind::Program, 3, file, "", false},
        {"not-found page", keys.publicKey, UpdateFileKind::Program, 3, file, "<h1>404 Not Found</h1>", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VerifyUpdateFile(c.key, c.kind, c.version, c.file, c.signature), c.expected) << c.name;
}

TEST_F(SignatureTest, KeysComeFromTheirPrivateHalfOnly) {
    EXPECT_EQ(PublicKeyOf(keys.privateKey), keys.publicKey);
    EXPECT_NE(keys.publicKey, otherKeys.publicKey);
    EXPECT_FALSE(PublicKeyOf("short"));
    EXPECT_FALSE(SignUpdateFile(keys.privateKey.substr(1), UpdateFileKind::Program, 2, file));
}

TEST(ParseUpdatePublicKey, SixtyFourHexDigits) {
    const std::string hex = "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF";
    const std::optional<UpdatePublicKey> key = ParseUpdatePublicKey(hex);
    ASSERT_TRUE(key);
    EXPECT_EQ((*key)[0], 0x00);
    EXPECT_EQ((*key)[10], 0xaa);
    EXPECT_EQ((*key)[31], 0xff);
    EXPECT_EQ(FormatUpdatePublicKey(*key), "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff");
    EXPECT_EQ(ParseUpdatePublicKey("  " + hex + "\r\n"), key);

    const std::string rejected[] = {
        "", "   \n", hex.substr(1), hex + "0", "g" + hex.substr(1), hex.substr(0, 32) + " " + hex.substr(32),
        "0x" + hex.substr(2),
    };
    for (const auto& text : rejected) EXPECT_FALSE(ParseUpdatePublicKey(text)) << text;
}

}  // namespace
}  // namespace qen
