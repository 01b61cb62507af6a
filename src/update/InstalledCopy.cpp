#include "update/InstalledCopy.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace qen {

bool IsInstalledCopy(const Path& program) {
    const std::string folder = program.Folder().Bytes();
    constexpr std::string_view kBin = "/bin/";
    if (!folder.ends_with(kBin)) return false;
    const Path prefix(folder.substr(0, folder.size() - kBin.size() + 1));
    std::error_code ignored;
    return std::filesystem::is_regular_file((prefix / "share" / "metainfo" / std::string(kInstalledMetadataName)).Bytes(),
                                            ignored);
}

}  // namespace qen
