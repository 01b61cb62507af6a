#pragma once
// Signed updates. Every downloaded program is checked against the distributor's key before
// it is written: a detached Ed25519 signature covers a short message that binds the file's
// SHA-256 to the version the version file offered and to what the file is for, so an older
// signed build cannot be passed off as a newer one, nor the replacer as the program.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "update/VersionFile.h"

namespace qen {

constexpr std::size_t kUpdateKeyBytes = 32;
constexpr std::size_t kUpdateSignatureBytes = 64;

enum class UpdateFileKind { Program, Replacer };

// The raw 32-byte Ed25519 public key.
using UpdatePublicKey = std::array<unsigned char, kUpdateKeyBytes>;

// "qen-update-v1\n" + "program" or "replacer" + "\n" + version in decimal + "\n" +
// lower-case hex SHA-256 of the file + "\n". Empty if the digest cannot be computed.
std::string UpdateSignedMessage(UpdateFileKind kind, VersionNumber version, std::string_view file);

// True only for a 64-byte signature that `key` made over exactly this message.
bool VerifyUpdateSignature(const UpdatePublicKey& key, std::string_view message, std::string_view signature);
bool VerifyUpdateFile(const UpdatePublicKey& key, UpdateFileKind kind, VersionNumber version,
                      std::string_view file, std::string_view signature);

// The signing side, for the release tool (and tests). The private key is the raw 32 bytes.
struct UpdateKeyPair {
    std::string privateKey;
    UpdatePublicKey publicKey{};
};
std::optional<UpdateKeyPair> GenerateUpdateKeyPair();
std::optional<UpdatePublicKey> PublicKeyOf(std::string_view privateKey);
// The 64-byte signature, or nullopt when the private key is not one.
std::optional<std::string> SignUpdateFile(std::string_view privateKey, UpdateFileKind kind,
                                          VersionNumber version, std::string_view file);

// A public key as text: 64 hexadecimal digits, white space around them allowed.
std::optional<UpdatePublicKey> ParseUpdatePublicKey(std::string_view text);
std::string FormatUpdatePublicKey(const UpdatePublicKey& key);  // lower-case hex

}  // namespace qen
