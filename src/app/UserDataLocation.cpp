#include "app/UserDataLocation.h"

#include <filesystem>
#include <system_error>

#include "files/FileIO.h"

namespace qen {

Path AdjustUserDataPath(const Path& userDataPath) {
    std::error_code ec;
    if (std::filesystem::exists(userDataPath.Bytes(), ec)) return userDataPath;
    if (userDataPath.Extension().empty()) return userDataPath;
    const std::string n = userDataPath.WithExtension("").Bytes();
    const std::size_t L = n.size();
    auto digit = [&](std::size_t i) { return n[i] >= '0' && n[i] <= '9'; };
    if (L > 4 && n[L - 2] == '_' && digit(L - 1)) return Path(n.substr(0, L - 2) + ".lum");
    if (L > 5 && n[L - 3] == '_' && digit(L - 2) && digit(L - 1)) return Path(n.substr(0, L - 3) + ".lum");
    return userDataPath;
}

std::optional<Path> KeepDamagedFileAside(const Path& file, const std::string& dateStamp) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(file.Bytes(), ec))) return std::nullopt;
    const std::string base = file.Bytes() + ".damaged-" + dateStamp;
    for (int n = 1; n < 1000; ++n) {
        const Path aside(n == 1 ? base : base + "-" + std::to_string(n));
        if (std::filesystem::exists(std::filesystem::symlink_status(aside.Bytes(), ec))) continue;
        if (RenameFile(file, aside)) return aside;
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace qen
