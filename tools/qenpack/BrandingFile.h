#pragma once
// The distributor's branding file: "[Top Banners]", "[Side Banners]" and "[Menu Text Links]"
// sections of "first | second" lines; "#" starts a comment line. See examples/*.branding.
#include <optional>
#include <string>
#include <string_view>

#include "qenpack/PackageBlockWriter.h"

namespace qen {

std::optional<BrandingLists> ParseBrandingFile(std::string_view text, std::string& error);

}  // namespace qen
