#include "package/PackageDigest.h"

#include <openssl/evp.h>

#include <memory>
#include <new>

#include "package/PackageSecrets.h"

namespace qen {

namespace {

std::string HexDigestOf(DigestKind kind, const std::uint8_t* data, std::size_t length) {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!context) return {};
    const EVP_MD* algorithm = kind == DigestKind::Md5 ? EVP_md5() : EVP_sha1();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (EVP_DigestInit_ex(context.get(), algorithm, nullptr) != 1 ||
        EVP_DigestUpdate(context.get(), data, length) != 1 ||
        EVP_DigestFinal_ex(context.get(), digest, &digestLength) != 1)
        return {};
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(digestLength * 2);
    for (unsigned int i = 0; i < digestLength; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 0x0F];
    }
    return hex;
}

// S[18..] + M[12..] + S[..18) + M[..12)
std::string Arrange(const std::string& sha1, const std::string& md5) {
    if (sha1.size() != 40 || md5.size() != 32) return {};
    return sha1.substr(18) + md5.substr(12) + sha1.substr(0, 18) + md5.substr(0, 12);
}

bool FillKeyedBuffer(std::vector<std::uint8_t>& buffer, const std::uint8_t* data, std::size_t length) {
    const std::string_view prefix = DigestPrefix(), suffix = DigestSuffix();
    try {
        buffer.clear();
        buffer.reserve(prefix.size() + length + suffix.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    buffer.insert(buffer.end(), prefix.begin(), prefix.end());
    if (length > 0) buffer.insert(buffer.end(), data, data + length);
    buffer.insert(buffer.end(), suffix.begin(), suffix.end());
    return true;
}

}  // namespace

std::string PackageDigest::DigestHex(DigestKind kind) const {
    return HexDigestOf(kind, buffer_.data(), buffer_.size());
}

std::optional<std::string> PackageDigest::KeyedPackageDigest(const std::uint8_t* data, std::size_t length) {
    if (!FillKeyedBuffer(buffer_, data, length)) return std::nullopt;
    std::string result = Arrange(DigestHex(DigestKind::Sha1), DigestHex(DigestKind::Md5));
    std::vector<std::uint8_t>().swap(buffer_);
    return result;
}

std::string HexDigest(DigestKind kind, std::string_view data) {
    return HexDigestOf(kind, reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

std::string ComputeKeyedPackageDigest(std::string_view data) {
    std::vector<std::uint8_t> buffer;
    if (!FillKeyedBuffer(buffer, reinterpret_cast<const std::uint8_t*>(data.data()), data.size()))
        return {};
    const std::string_view all(reinterpret_cast<const char*>(buffer.data()), buffer.size());
    return Arrange(HexDigest(DigestKind::Sha1, all), HexDigest(DigestKind::Md5, all));
}

bool KeyedDigestsMatch(std::string_view stored, std::string_view computed) {
    if (stored.size() != PackageDigest::kKeyedDigestLength ||
        computed.size() != PackageDigest::kKeyedDigestLength)
        return false;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(stored[i]) != lower(computed[i])) return false;
    }
    return true;
}

}  // namespace qen
