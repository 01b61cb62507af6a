#include "update/UpdateKey.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

// Set by the build from the CMake option of the same name.
#ifndef QEN_UPDATE_PUBLIC_KEY
#define QEN_UPDATE_PUBLIC_KEY ""
#endif

namespace qen {

namespace {

// Far more than a key line; anything larger is not a key file.
constexpr std::uintmax_t kMaxKeyFileSize = 4096;

}  // namespace

std::string_view BuiltInUpdateKey() { return QEN_UPDATE_PUBLIC_KEY; }

std::optional<UpdatePublicKey> LoadUpdatePublicKey(const std::string& programFolder, std::string_view builtInKey) {
    const std::filesystem::path keyFile = programFolder + std::string(kUpdateKeyFileName);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(keyFile, error);
    if (std::filesystem::exists(status)) {
        // Only a small regular file is read: a pipe or device under that name must not block.
        if (!std::filesystem::is_regular_file(status)) return std::nullopt;
        const std::uintmax_t size = std::filesystem::file_size(keyFile, error);
        if (error || size > kMaxKeyFileSize) return std::nullopt;
        std::ifstream in(keyFile, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in && !in.eof()) return std::nullopt;
        return ParseUpdatePublicKey(text);
    }
    if (builtInKey.empty()) return std::nullopt;
    return ParseUpdatePublicKey(builtInKey);
}

}  // namespace qen
