#pragma once
// What a package file holds, read without trusting it.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "package/ContentHash.h"
#include "qenpack/PackageBlockWriter.h"

namespace qen {

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
    std::string recordedContentHash;  // 32 raw bytes, all zeros when none was recorded
    ContentHashCheck contentHash = ContentHashCheck::NotRecorded;  // checked once the layout is sound
    BrandingLists branding;
    std::map<std::string, std::string> endpoints;  // the hosts endpoints.txt names, by key
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
