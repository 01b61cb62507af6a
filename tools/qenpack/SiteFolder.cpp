#include "qenpack/SiteFolder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "files/FileIO.h"

namespace qen {

namespace {

std::nullopt_t Unreadable(SiteFolderError& error, std::string reason) {
    error = {true, std::move(reason)};
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<PackageFile>> ReadSiteFolder(const Path& folder, SiteFolderError& error) {
    namespace fs = std::filesystem;
    std::error_code code;
    if (!fs::is_directory(folder.Bytes(), code)) return Unreadable(error, folder.Bytes() + " is not a folder");
    std::vector<fs::path> paths;
    fs::directory_iterator entry(folder.Bytes(), code), end;
    for (; !code && entry != end; entry.increment(code)) {
        const std::string name = entry->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code entryCode;
        if (entry->is_directory(entryCode)) {
            error = {false, entry->path().string() + " is a folder; a package holds only the files of one folder"};
            return std::nullopt;
        }
        paths.push_back(entry->path());
    }
    if (code) return Unreadable(error, "cannot list " + folder.Bytes() + ": " + code.message());
    std::sort(paths.begin(), paths.end());
    std::vector<PackageFile> files;
    for (const auto& path : paths) {
        FileError why;
        std::optional<std::string> data = ReadFileBytes(Path(path.string()), &why);
        if (!data) return Unreadable(error, "cannot read " + path.string() + ": " + why.Reason());
        files.push_back({path.filename().string(), std::move(*data)});
    }
    return files;
}

}  // namespace qen
