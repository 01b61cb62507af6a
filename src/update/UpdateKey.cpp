#include "update/UpdateKey.h"

#include <cstdint>
#include <filesystem>

#include "files/FileIO.h"

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

std::optional<UpdatePublicKey> LoadUpdatePublicKey(const Path& programFolder, std::string_view builtInKey) {
    const Path keyFile = programFolder / kUpdateKeyFileName;
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::status(keyFile.Bytes(), error))) {
        const std::uintmax_t size = std::filesystem::file_size(keyFile.Bytes(), error);
        if (error || size > kMaxKeyFileSize) return std::nullopt;
        // Only a regular file is read, so a pipe under that name cannot block the start.
        const std::optional<std::string> text = ReadFileBytes(keyFile);
        return text ? ParseUpdatePublicKey(*text) : std::nullopt;
    }
    if (builtInKey.empty()) return std::nullopt;
    return ParseUpdatePublicKey(builtInKey);
}

}  // namespace qen
