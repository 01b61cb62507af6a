#include "qenpack/SiteFolder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "files/FileIO.h"

namespace qen {

std::optional<std::vector<PackageFile>> ReadSiteFolder(const Path& folder, std::string& error) {
    std::error_code code;
    if (!std::filesystem::is_directory(folder.Bytes(), code)) {
        error = folder.Bytes() + " is not a folder";
        return std::nullopt;
    }
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Bytes(), code)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code entryCode;
        if (entry.is_directory(entryCode)) {
            error = entry.path().string() + " is a folder; a package holds only the files of one folder";
            return std::nullopt;
        }
        paths.push_back(entry.path());
    }
    if (code) {
        error = "cannot list " + folder.Bytes() + ": " + code.message();
        return std::nullopt;
    }
    std::sort(paths.begin(), paths.end());
    std::vector<PackageFile> files;
    for (const auto& path : paths) {
        FileError why;
        std::optional<std::string> data = ReadFileBytes(Path(path.string()), &why);
        if (!data) {
            error = "cannot read " + path.string() + ": " + why.Reason();
            return std::nullopt;
        }
        files.push_back({path.filename().string(), std::move(*data)});
    }
    return files;
}

}  // namespace qen
