#include "app/WorkFolder.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include "files/FileIO.h"
#include "files/Folders.h"
#include "platform/System.h"

namespace qen {

namespace {

std::optional<std::int64_t> OwnerOf(const Path& folder) {
    std::optional<std::string> text = ReadFileBytes(folder / kOwnerFileName);
    if (!text) return std::nullopt;
    std::int64_t owner = 0;
    const char* end = text->data() + text->size();
    auto [last, error] = std::from_chars(text->data(), end, owner);
    if (error != std::errc() || last != end) return std::nullopt;
    return owner;
}

}  // namespace

std::optional<Path> MakeWorkFolder(const Path& tempFolder, std::int64_t secondsSince1970,
                                   std::int64_t ownerProcess) {
    std::string name = tempFolder.Bytes() + kWorkFolderPrefix + std::to_string(secondsSince1970);
    for (int attempt = 0; attempt <= 3; ++attempt) {
        const Path folder(name + "/");
        switch (MakePrivateFolder(folder)) {
            case NewFolder::Made:
                WriteWholeFile(folder / kOwnerFileName, std::to_string(ownerProcess));
                return folder;
            case NewFolder::NameTaken:  // by any entry of that name, folder or file
                name += "x";
                break;
            case NewFolder::Failed:
                return std::nullopt;
        }
    }
    return std::nullopt;
}

void RemoveWorkFolderTree(const Path& folder) { RemoveFolderTree(folder); }

void RemoveLeftoverWorkFolders(const Path& tempFolder, System& system) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(tempFolder.Bytes(), error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kWorkFolderPrefix)) continue;
        const Path folder(entry.path().string() + "/");
        // Only this user's own folders, and only those whose owner is known to be gone: a
        // folder without an owner file may belong to a run that is still going.
        if (!IsOwnFolder(folder)) continue;
        const std::optional<std::int64_t> owner = OwnerOf(folder);
        if (owner && !system.ProcessIsAlive(*owner)) RemoveWorkFolderTree(folder);
    }
}

}  // namespace qen
