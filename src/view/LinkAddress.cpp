#include "view/LinkAddress.h"

#include "base/LinkNames.h"
#include "files/PathHelpers.h"

namespace qen {

bool IsWebAddress(std::string_view address) {
    return address.starts_with("http://") || address.starts_with("https://");
}

bool IsLocalPage(const std::string& address, const std::string& pageName) {
    return !IsWebAddress(address) && FileNameOf(address) == pageName;
}

bool ParseLinkCommand(const std::string& address, const std::string& prefix, std::string& argument) {
    if (IsWebAddress(address)) return false;
    const std::string name = FileNameOf(address);
    constexpr std::string_view kSuffix = link::kCommandSuffix;
    if (name.size() < prefix.size() + kSuffix.size()) return false;
    if (!name.starts_with(prefix) || !name.ends_with(kSuffix)) return false;
    argument = name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size());
    return true;
}

bool IsViewableAddress(std::string_view address) {
    return IsWebAddress(address) || address.starts_with('/') || address.starts_with("javascript:");
}

bool IsWorkFolderFile(std::string_view address, const Path& workFolder) {
    if (workFolder.Empty()) return false;
    const Path folder = workFolder.WithoutTrailingSlash() / "";
    if (!address.starts_with(folder.Bytes())) return false;
    const std::string_view name = address.substr(folder.Bytes().size());
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string_view::npos;
}

bool IsOwnPage(std::string_view currentAddress, const Path& workFolder) {
    return currentAddress.empty() || currentAddress == "about:blank" || IsWorkFolderFile(currentAddress, workFolder);
}

}  // namespace qen
