#include "files/Folders.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/FileCalls.h"

namespace qen {

bool CreateFolders(const Path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder.Bytes(), ec);
    return std::filesystem::is_directory(folder.Bytes(), ec);
}

NewFolder MakePrivateFolder(const Path& folder) {
    const int code = filecalls::MakePrivateFolder(folder.WithoutTrailingSlash().Bytes());
    if (code == 0) return NewFolder::Made;
    return code == EEXIST ? NewFolder::NameTaken : NewFolder::Failed;
}

bool IsOwnFolder(const Path& folder) {
    return filecalls::FolderOwnership(folder.WithoutTrailingSlash().Bytes()) == filecalls::Ownership::Ours;
}

bool UsePrivateFolder(const Path& folder) {
    const std::string bytes = folder.WithoutTrailingSlash().Bytes();
    switch (filecalls::FolderOwnership(bytes)) {
        case filecalls::Ownership::Missing:
            return filecalls::MakePrivateFolder(bytes) == 0;
        case filecalls::Ownership::Ours:
            filecalls::MakeOwnerOnly(bytes);
            return true;
        case filecalls::Ownership::NotOurs:
            break;
    }
    return false;
}

void RemoveFolderTree(const Path& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder.Bytes(), ignored);
}

}  // namespace qen
