#include "update/UpdateSignature.h"

#include <openssl/evp.h>

#include <memory>

namespace qen {

namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
struct KeyContextFree {
    void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, KeyFree>;
using ContextPtr = std::unique_ptr<EVP_MD_CTX, ContextFree>;

const unsigned char* Bytes(std::string_view data) { return reinterpret_cast<const unsigned char*>(data.data()); }

std::string Hex(const unsigned char* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        hex.push_back(kDigits[bytes[i] >> 4]);
        hex.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return hex;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Sha256Hex(std::string_view data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha256(), nullptr) != 1) return {};
    return Hex(digest, length);
}

std::optional<UpdatePublicKey> RawPublicKey(EVP_PKEY* key) {
    UpdatePublicKey raw{};
    std::size_t length = raw.size();
    if (EVP_PKEY_get_raw_public_key(key, raw.data(), &length) != 1 || length != raw.size()) return std::nullopt;
    return raw;
}

KeyPtr PrivateKey(std::string_view raw) {
    if (raw.size() != kUpdateKeyBytes) return nullptr;
    return KeyPtr(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, Bytes(raw), raw.size()));
}

}  // namespace

std::string UpdateSignedMessage(UpdateFileKind kind, VersionNumber version, std::string_view file) {
    const std::string digest = Sha256Hex(file);
    if (digest.empty()) return {};
    return std::string("qen-update-v1\n") + (kind == UpdateFileKind::Program ? "program" : "replacer") + "\n" +
           std::to_string(version) + "\n" + digest + "\n";
}

bool VerifyUpdateSignature(const UpdatePublicKey& key, std::string_view message, std::string_view signature) {
    if (message.empty() || signature.size() != kUpdateSignatureBytes) return false;
    KeyPtr publicKey(EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key.data(), key.size()));
    ContextPtr context(EVP_MD_CTX_new());
    if (!publicKey || !context) return false;
    // Ed25519 hashes the message itself: no digest is named.
    if (EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, publicKey.get()) != 1) return false;
    return EVP_DigestVerify(context.get(), Bytes(signature), signature.size(), Bytes(message), message.size()) == 1;
}

bool VerifyUpdateFile(const UpdatePublicKey& key, UpdateFileKind kind, VersionNumber version,
                      std::string_view file, std::string_view signature) {
    return VerifyUpdateSignature(key, UpdateSignedMessage(kind, version, file), signature);
}

std::optional<UpdateKeyPair> GenerateUpdateKeyPair() {
    std::unique_ptr<EVP_PKEY_CTX, KeyContextFree> context(EVP_PKEY_CTX_new_id(EVP_PKEY_ED25519, nullptr));
    if (!context || EVP_PKEY_keygen_init(context.get()) != 1) return std::nullopt;
    EVP_PKEY* made = nullptr;
    if (EVP_PKEY_keygen(context.get(), &made) != 1) return std::nullopt;
    KeyPtr key(made);

    UpdateKeyPair pair;
    pair.privateKey.resize(kUpdateKeyBytes);
    std::size_t length = pair.privateKey.size();
    if (EVP_PKEY_get_raw_private_key(key.get(), reinterpret_cast<unsigned char*>(pair.privateKey.data()),
                                     &length) != 1 ||
        length != kUpdateKeyBytes)
        return std::nullopt;
    std::optional<UpdatePublicKey> publicKey = RawPublicKey(key.get());
    if (!publicKey) return std::nullopt;
    pair.publicKey = *publicKey;
    return pair;
}

std::optional<UpdatePublicKey> PublicKeyOf(std::string_view privateKey) {
    KeyPtr key = PrivateKey(privateKey);
    return key ? RawPublicKey(key.get()) : std::nullopt;
}

std::optional<std::string> SignUpdateFile(std::string_view privateKey, UpdateFileKind kind,
                                          VersionNumber version, std::string_view file) {
    const std::string message = UpdateSignedMessage(kind, version, file);
    KeyPtr key = PrivateKey(privateKey);
    ContextPtr context(EVP_MD_CTX_new());
    if (message.empty() || !key || !context) return std::nullopt;
    if (EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1) return std::nullopt;
    std::string signature(kUpdateSignatureBytes, '\0');
    std::size_t length = signature.size();
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length,
                       Bytes(message), message.size()) != 1 ||
        length != kUpdateSignatureBytes)
        return std::nullopt;
    return signature;
}

std::optional<UpdatePublicKey> ParseUpdatePublicKey(std::string_view text) {
    constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
    UpdatePublicKey key{};
    if (text.size() != key.size() * 2) return std::nullopt;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const int high = HexDigitValue(text[2 * i]);
        const int low = HexDigitValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        key[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return key;
}

std::string FormatUpdatePublicKey(const UpdatePublicKey& key) { return Hex(key.data(), key.size()); }

}  // namespace qen
