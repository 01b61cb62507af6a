#include "view/LinkAddress.h"

#include "files/PathHelpers.h"

namespace qen {

bool IsWebAddress(std::string_view address) {
    return address.starts_with("http://") || address.starts_with("https://");
}

bool IsLocalPage(const std::string& address, const std::string& pageName) {
    return !IsWebAddress(address) && address.ends_with(pageName);
}

bool ParseLinkCommand(const std::string& address, const std::string& prefix, std::string& argument) {
    if (IsWebAddress(address)) return false;
    const std::string name = FileNameOf(address);
    constexpr std::string_view kSuffix = ".html";
    if (name.size() < prefix.size() + kSuffix.size()) return false;
    if (!name.starts_with(prefix) || !name.ends_with(kSuffix)) return false;
    argument = name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size());
    return true;
}

}  // namespace qen
