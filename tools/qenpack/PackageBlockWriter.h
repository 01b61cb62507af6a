#pragma once
// Making a package block from a site's files and the distributor's branding.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package/Branding.h"

namespace qen {

struct PackageFile {
    std::string name;  // plain file name, no folder
    std::string data;
};

struct BrandingLists {
    std::vector<BrandingPair> topBanners;     // image URL, link URL
    std::vector<BrandingPair> sideBanners;    // image URL, link URL
    std::vector<BrandingPair> menuTextLinks;  // link text, target URL
};

struct PackageDescription {
    std::string title;
    std::string settingsName;
    std::string footerName;
    std::string footerLink;
    std::uint32_t maxSideBanners = 5;
    BrandingLists branding;
    std::vector<PackageFile> members;  // in table order
};

// The first name that occurs twice, if any: a package holds each file name once, or an
// extraction would write one file over the other.
std::optional<std::string> RepeatedName(const std::vector<std::string>& names);

// The whole block, marker to the end of the enciphered data, or nullopt with `error` set.
std::optional<std::string> MakePackageBlock(const PackageDescription& description, std::string& error);

}  // namespace qen
