#include "package/ContentHash.h"

#include <openssl/evp.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

#include "package/PackageFormat.h"

namespace qen {

namespace {

// Below this a second thread costs more than it saves.
constexpr std::size_t kPiecesWorthAHelper = 8;

}  // namespace

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

    const std::size_t pieces = (dataLength + kPiece - 1) / kPiece;
    std::atomic<std::size_t> hashedPieces{hashing ? 0 : pieces}, nextPiece{0};
    // Hands over one hashed piece no one has taken yet; false when none is ready.
    auto takePiece = [&] {
        std::size_t piece = nextPiece.load();
        while (piece < hashedPieces.load(std::memory_order_acquire))
            if (nextPiece.compare_exchange_weak(piece, piece + 1)) {
                const std::size_t from = piece * kPiece;
                hashed(from, std::min(kPiece, dataLength - from));
                return true;
            }
        return false;
    };
    // The caller's pass costs several times the hash: a second core takes pieces as soon as
    // they are hashed, and this thread joins it once the hash is done.
    std::optional<std::thread> helper;
    if (pieces >= kPiecesWorthAHelper && std::thread::hardware_concurrency() > 1) {
        try {
            helper.emplace([&] {
                while (nextPiece.load() < pieces)
                    if (!takePiece()) std::this_thread::yield();
            });
        } catch (const std::system_error&) {
            // No thread to be had: this one does it all.
        }
    }

    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1 &&
              EVP_DigestUpdate(context.get(), image.data() + blockStart + block::kMemberTable,
                               block::kData - block::kMemberTable) == 1;
    for (std::size_t piece = 0; hashing && piece < pieces; ++piece) {
        const std::size_t from = piece * kPiece;
        const std::size_t count = std::min(kPiece, dataLength - from);
        ok = ok && EVP_DigestUpdate(context.get(), image.data() + data + from, count) == 1;
        hashedPieces.store(piece + 1, std::memory_order_release);
        if (!helper) takePiece();
    }
    while (takePiece()) {
    }
    if (helper) helper->join();
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
