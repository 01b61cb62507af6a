#include "package/ContentHash.h"

#include <openssl/evp.h>

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

}  // namespace qen
