#include "base/LinkNames.h"

#include "text/TextOps.h"

namespace qen {

bool NamesLinkCommand(std::string_view fileName) {
    for (std::string_view name : link::kCommandPages)
        if (fileName.ends_with(name)) return true;
    if (fileName.ends_with(link::kCommandSuffix))
        for (std::string_view prefix : link::kCommandPrefixes)
            if (fileName.starts_with(prefix)) return true;
    return fileName.size() >= 4 && ToLowerAscii(fileName.substr(fileName.size() - 4)) == ".exe";
}

std::string CommandLink(std::string_view prefix, std::string_view argument) {
    std::string name;
    name.reserve(prefix.size() + argument.size() + link::kCommandSuffix.size());
    return name.append(prefix).append(argument).append(link::kCommandSuffix);
}

}  // namespace qen
