#include "package/ContentHash.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

#include "package/PackageFormat.h"

namespace qen {

namespace {

// Large enough that reading a file takes few calls, small enough to stay in the cache.
constexpr std::size_t kPiece = 256 * 1024;

std::string_view MemberTable(std::string_view image, std::size_t blockStart) {
    return image.substr(blockStart + block::kMemberTable, block::kData - block::kMemberTable);
}

std::uint64_t DataLength(std::string_view image, std::size_t blockStart) {
    return ReadWord(image, blockStart + block::kDataLength);
}

DataPieces PiecesOf(std::string_view image, std::size_t blockStart) {
    const std::size_t data = blockStart + block::kData;
    return [image, data](std::uint64_t from, std::size_t count) {
        if (data > image.size() || from > image.size() - data) return std::string_view();
        return image.substr(data + from, count);
    };
}

bool HoldsTable(std::string_view image, std::size_t blockStart) {
    return blockStart <= image.size() && image.size() - blockStart >= block::kData;
}

}  // namespace

std::string ComputeContentHash(std::string_view memberTable, std::uint64_t dataLength, const DataPieces& data) {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1 &&
              EVP_DigestUpdate(context.get(), memberTable.data(), memberTable.size()) == 1;
    for (std::uint64_t from = 0; ok && from < dataLength; from += kPiece) {
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, dataLength - from));
        const std::string_view piece = data(from, count);
        ok = piece.size() == count && EVP_DigestUpdate(context.get(), piece.data(), piece.size()) == 1;
    }
    unsigned char hash[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!ok || EVP_DigestFinal_ex(context.get(), hash, &length) != 1 || length != block::kContentHashSize) return {};
    return std::string(reinterpret_cast<const char*>(hash), length);
}

ContentHashCheck CheckContentHash(std::string_view recorded, std::string_view memberTable, std::uint64_t dataLength,
                                  const DataPieces& data) {
    if (recorded.find_first_not_of('\0') == std::string_view::npos) return ContentHashCheck::NotRecorded;
    // A hash that cannot be computed is not taken as a match.
    return ComputeContentHash(memberTable, dataLength, data) == recorded ? ContentHashCheck::Matches
                                                                         : ContentHashCheck::Differs;
}

std::string ComputeContentHash(std::string_view image, std::size_t blockStart) {
    if (!HoldsTable(image, blockStart)) return {};
    return ComputeContentHash(MemberTable(image, blockStart), DataLength(image, blockStart), PiecesOf(image, blockStart));
}

ContentHashCheck CheckContentHash(std::string_view image, std::size_t blockStart) {
    if (!HoldsTable(image, blockStart)) return ContentHashCheck::Differs;
    return CheckContentHash(image.substr(blockStart + block::kContentHash, block::kContentHashSize),
                            MemberTable(image, blockStart), DataLength(image, blockStart), PiecesOf(image, blockStart));
}

}  // namespace qen
