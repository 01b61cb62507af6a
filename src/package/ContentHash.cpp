#include "package/ContentHash.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

#include "package/PackageFormat.h"

namespace qen {

namespace {

// Large enough that reading a file takes few calls, small enough to stay in the cache.
constexpr std::size_t kPiece = 256 * 1024;

std::string_view HeaderOf(std::string_view image, std::size_t blockStart) {
    if (blockStart > image.size()) return {};
    return image.substr(blockStart, block::kData);
}

DataPieces PiecesOf(std::string_view image, std::size_t blockStart) {
    const std::size_t data = blockStart + block::kData;
    return [image, data](std::uint64_t from, std::size_t count) {
        if (data > image.size() || from > image.size() - data) return std::string_view();
        return image.substr(data + from, count);
    };
}

}  // namespace

std::string ComputeContentHashInPieces(std::string_view header, const DataPieces& data) {
    if (header.size() < block::kData) return {};
    const std::string_view memberTable = header.substr(block::kMemberTable, block::kData - block::kMemberTable);
    const std::uint64_t dataLength = ReadWord(header, block::kDataLength);
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

ContentHashCheck CheckContentHashInPieces(std::string_view header, const DataPieces& data) {
    if (header.size() < block::kData) return ContentHashCheck::Differs;
    const std::string_view recorded = header.substr(block::kContentHash, block::kContentHashSize);
    if (recorded.find_first_not_of('\0') == std::string_view::npos) return ContentHashCheck::NotRecorded;
    // A hash that cannot be computed is not taken as a match.
    return ComputeContentHashInPieces(header, data) == recorded ? ContentHashCheck::Matches : ContentHashCheck::Differs;
}

std::string ComputeContentHash(std::string_view image, std::size_t blockStart) {
    return ComputeContentHashInPieces(HeaderOf(image, blockStart), PiecesOf(image, blockStart));
}

ContentHashCheck CheckContentHash(std::string_view image, std::size_t blockStart) {
    return CheckContentHashInPieces(HeaderOf(image, blockStart), PiecesOf(image, blockStart));
}

}  // namespace qen
