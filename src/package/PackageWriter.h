#pragma once
// Making packages: the packaging tool's side of the package format.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

// The whole block, marker to the end of the enciphered data, or nullopt with `error` set.
std::optional<std::string> MakePackageBlock(const PackageDescription& description, std::string& error);

// The distributor's branding file: "[Top Banners]", "[Side Banners]" and "[Menu Text Links]"
// sections of "first | second" lines; "#" starts a comment line. See examples/*.branding.
std::optional<BrandingLists> ParseBrandingFile(std::string_view text, std::string& error);

// The regular files directly inside `folder`, sorted by name; names starting with "."
// are left out. A sub-folder is an error: a package holds no folders.
std::optional<std::vector<PackageFile>> ReadSiteFolder(const std::string& folder, std::string& error);

// What a package file holds, read without trusting it.
struct PackageReport {
    std::string fault;              // empty when the package is sound
    bool blockFound = false;
    std::size_t blockStart = 0;
    std::uint32_t dataLength = 0;
    std::uint32_t memberCount = 0;
    std::uint32_t toolWord = 0;
    std::uint32_t maxSideBanners = 0;
    std::string title, settingsName, footerName, footerLink;
    std::string storedDigest;
    bool digestMatches = false;
    BrandingLists branding;
    struct Row {
        std::uint32_t offset = 0, size = 0;
        std::string name;
    };
    std::vector<Row> members;
    std::vector<PackageFile> files;  // deciphered members, when asked for and sound
};

// Checks everything the runtime checks (and that the niche descriptor parses);
// deciphers the members into `files` when `withFiles` is set and nothing failed.
PackageReport ExaminePackage(std::string_view image, bool withFiles);

}  // namespace qen
