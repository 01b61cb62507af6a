#include "app/WorkFolder.h"

#include <filesystem>
#include <system_error>

namespace qen {

std::optional<Path> MakeWorkFolder(const Path& tempFolder, std::int64_t secondsSince1970) {
    std::string name = tempFolder.Bytes() + "lumfiles__" + std::to_string(secondsSince1970);
    for (int attempt = 0; attempt <= 3; ++attempt) {
        std::error_code error;
        if (std::filesystem::create_directory(name, error)) return Path(name + "/");
        // Any entry of that name, folder or file, makes the name taken.
        std::error_code ignored;
        if (!std::filesystem::exists(std::filesystem::symlink_status(name, ignored))) return std::nullopt;
        name += "x";
    }
    return std::nullopt;
}

void RemoveWorkFolderTree(const Path& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder.Bytes(), ignored);
}

}  // namespace qen
