#include "qenpack/PackageBlockWriter.h"

#include <algorithm>
#include <set>

#include "package/BlockCipher.h"
#include "package/ContentHash.h"
#include "package/PackageDigest.h"
#include "package/PackageFormat.h"
#include "package/PackageSecrets.h"
#include "text/TextOps.h"

namespace qen {

namespace {

constexpr std::uint32_t kToolFormatVersion = 1;

bool PutTextField(std::string& image, std::size_t at, std::size_t size, std::string_view text,
                  std::string_view what, std::string& error) {
    if (text.size() >= size) {
        error = std::string(what) + " is too long (" + std::to_string(text.size()) + " bytes, at most " +
                std::to_string(size - 1) + ")";
        return false;
    }
    if (text.find('\0') != std::string_view::npos) {
        error = std::string(what) + " contains a zero byte";
        return false;
    }
    std::copy(text.begin(), text.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

bool PutList(std::string& image, std::size_t at, std::size_t size, const std::vector<BrandingPair>& pairs,
             std::string_view what, std::string& error) {
    if (pairs.size() > kMaxBrandingRecords) {
        error = std::string(what) + " has " + std::to_string(pairs.size()) + " entries, at most " +
                std::to_string(kMaxBrandingRecords) + " are shown";
        return false;
    }
    for (const auto& [first, second] : pairs) {
        auto bad = [](const std::string& line) {
            return line.empty() || line != TrimWhitespace(line) ||
                   line.find_first_of("\r\n") != std::string::npos;
        };
        if (bad(first) || bad(second)) {
            error = std::string(what) + " has an empty entry or one with a line break";
            return false;
        }
    }
    return PutTextField(image, at, size, FormatBrandingList(pairs), what, error);
}

}  // namespace

std::optional<std::string> RepeatedName(const std::vector<std::string>& names) {
    std::set<std::string_view> seen;
    for (const std::string& name : names)
        if (!seen.insert(name).second) return name;
    return std::nullopt;
}

std::optional<std::string> MakePackageBlock(const PackageDescription& description, std::string& error) {
    if (description.members.empty()) {
        error = "a package needs at least one file";
        return std::nullopt;
    }
    if (description.members.size() > block::kMaxMembers) {
        error = "a package holds at most 100 files, this one would hold " +
                std::to_string(description.members.size());
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (const PackageFile& file : description.members) names.push_back(file.name);
    if (const auto twice = RepeatedName(names)) {
        error = "two files are named \"" + *twice + "\"";
        return std::nullopt;
    }

    std::string image(block::kData, '\0');
    const std::string marker = BlockMarker();
    std::copy(marker.begin(), marker.end(), image.begin());
    std::copy(marker.begin(), marker.end(), image.begin() + block::kSecondMarker);

    if (!PutTextField(image, block::kTitle, block::kTextFieldSize, description.title, "the title", error) ||
        !PutTextField(image, block::kSettingsName, block::kTextFieldSize, description.settingsName,
                      "the settings name", error) ||
        !PutTextField(image, block::kFooterName, block::kTextFieldSize, description.footerName,
                      "the footer name", error) ||
        !PutTextField(image, block::kFooterLink, block::kTextFieldSize, description.footerLink,
                      "the footer link", error) ||
        !PutList(image, block::kMenuTextLinks, block::kMenuTextLinksSize, description.branding.menuTextLinks,
                 "the menu text links list", error) ||
        !PutList(image, block::kTopBanners, block::kTopBannersSize, description.branding.topBanners,
                 "the top banners list", error) ||
        !PutList(image, block::kSideBanners, block::kSideBannersSize, description.branding.sideBanners,
                 "the side banners list", error))
        return std::nullopt;

    std::string data;
    for (std::size_t row = 0; row < description.members.size(); ++row) {
        const PackageFile& file = description.members[row];
        if (!IsSafeMemberName(file.name) || file.name.size() >= block::kMemberNameSize) {
            error = "\"" + file.name + "\" cannot be a file name in a package (plain name of at most 91 bytes)";
            return std::nullopt;
        }
        const std::uint64_t offset = block::kData + std::uint64_t(data.size());
        if (offset + file.data.size() > 0xFFFFFFF0u) {
            error = "the files are too large for one package";
            return std::nullopt;
        }
        const std::size_t at = block::kMemberTable + row * block::kMemberRowSize;
        WriteWord(image, at, static_cast<std::uint32_t>(offset));
        WriteWord(image, at + 4, static_cast<std::uint32_t>(file.data.size()));
        std::copy(file.name.begin(), file.name.end(),
                  image.begin() + static_cast<std::ptrdiff_t>(at + block::kMemberNameOffset));
        data += file.data;
    }
    data.resize((data.size() + 7) / 8 * 8, '\0');
    BlowfishCipher cipher(PackageCipherKey());
    auto* bytes = reinterpret_cast<std::uint8_t*>(data.data());
    cipher.Encrypt(bytes, data.size(), bytes);

    WriteWord(image, block::kDataLength, static_cast<std::uint32_t>(data.size()));
    WriteWord(image, block::kMemberCount, static_cast<std::uint32_t>(description.members.size()));
    WriteWord(image, block::kToolWord, kToolFormatVersion);
    WriteWord(image, block::kMaxSideBanners, description.maxSideBanners);

    image += data;
    // The content hash lies inside the header, so the header digest comes last.
    const std::string contentHash = ComputeContentHash(image, 0);
    if (contentHash.size() != block::kContentHashSize) {
        error = "the content hash could not be computed";
        return std::nullopt;
    }
    std::copy(contentHash.begin(), contentHash.end(), image.begin() + block::kContentHash);
    const std::string digest =
        ComputeKeyedPackageDigest(std::string_view(image).substr(block::kDigested, block::kDigestedSize));
    if (digest.size() != block::kDigestSize) {
        error = "the header digest could not be computed";
        return std::nullopt;
    }
    std::copy(digest.begin(), digest.end(), image.begin() + block::kDigest);
    return image;
}

}  // namespace qen
