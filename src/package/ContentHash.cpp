#include "package/ContentHash.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

#include "package/PackageFormat.h"

namespace qen {

std::string ComputeContentHash(std::string_view image, std::size_t blockStart) {
    const std::size_t from = blockStart + block::kMemberTable;
    const std::size_t to = blockStart + block::kData + ReadWord(image, blockStart + block::kDataLength);
    if (to > image.size()) return {};
    unsigned char hash[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(image.data() + from, to - from, hash, &length, EVP_sha256(), nullptr) != 1 ||
        length != block::kContentHashSize)
        return {};
    return std::string(reinterpret_cast<const char*>(hash), length);
}

ContentHashCheck CheckContentHash(std::string_view image, std::size_t blockStart) {
    const std::string_view recorded = image.substr(blockStart + block::kContentHash, block::kContentHashSize);
    if (recorded.find_first_not_of('\0') == std::string_view::npos) return ContentHashCheck::NotRecorded;
    // A hash that cannot be computed is not taken as a match.
    return ComputeContentHash(image, blockStart) == recorded ? ContentHashCheck::Matches : ContentHashCheck::Differs;
}

ContentHashCheck HashWhileDeciphering(std::string_view image, std::size_t blockStart,
                                      const std::function<void(std::size_t from, std::size_t count)>& hashed) {
    // Small enough to stay in the cache between the hash and the caller's pass.
    constexpr std::size_t kPiece = 32 * 1024;
    const std::size_t dataLength = ReadWord(image, blockStart + block::kDataLength);
    const std::string_view recorded = image.substr(blockStart + block::kContentHash, block::kContentHashSize);
    const bool hashing = recorded.find_first_not_of('\0') != std::string_view::npos;
    const std::size_t data = blockStart + block::kData;
    if (data + dataLength > image.size()) return ContentHashCheck::Differs;

    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1 &&
              EVP_DigestUpdate(context.get(), image.data() + blockStart + block::kMemberTable,
                               block::kData - block::kMemberTable) == 1;
    for (std::size_t from = 0; from < dataLength; from += kPiece) {
        const std::size_t count = std::min(kPiece, dataLength - from);
        if (hashing) ok = ok && EVP_DigestUpdate(context.get(), image.data() + data + from, count) == 1;
        hashed(from, count);
    }
    if (!hashing) return ContentHashCheck::NotRecorded;
    unsigned char hash[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    ok = ok && EVP_DigestFinal_ex(context.get(), hash, &length) == 1 && length == block::kContentHashSize;
    // A hash that cannot be computed is not taken as a match.
    if (!ok) return ContentHashCheck::Differs;
    return recorded == std::string_view(reinterpret_cast<const char*>(hash), length) ? ContentHashCheck::Matches
                                                                                   : ContentHashCheck::Differs;
}

}  // namespace qen
