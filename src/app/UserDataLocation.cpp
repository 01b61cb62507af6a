#include "app/UserDataLocation.h"

#include <filesystem>
#include <system_error>

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

}  // namespace qen
