#include "package/ContentPackage.h"

#include "package/BlockCipher.h"
#include "package/Branding.h"
#include "package/ContentHash.h"
#include "package/PackageSecrets.h"

namespace qen {

namespace {

constexpr const char* kContentChanged = " (content changed)";

void AppendQuoted(std::string& list, const std::string& address) {
    if (!list.empty()) list.append(", ");
    list.append(1, '\'').append(address).append(1, '\'');
}

// The pages' banner arrays: every address cleaned, quoted and separated by ", ".
void QuotedAddressLists(const std::vector<BrandingPair>& pairs, std::string& urls, std::string& links) {
    urls.clear();
    links.clear();
    for (const auto& [url, link] : pairs) {
        AppendQuoted(urls, CleanUrl(url));
        AppendQuoted(links, CleanUrl(link));
    }
}

}  // namespace

bool ContentPackage::FindBlock(std::string image) {
    const std::string marker = BlockMarker();
    if (marker.size() != block::kMarkerSize) return false;
    std::optional<std::size_t> start = FindBlockStart(image, marker);
    if (!start) return false;
    Image = std::move(image);
    BlockStart = *start;
    BlockBytes = Image.size() - *start;
    headerChecked_ = false;
    deciphered_ = false;
    return true;
}

Outcome ContentPackage::CheckPackageHeader(const std::string& corruptMessage) {
    const std::string_view image = Image;
    const std::size_t start = BlockStart;
    // FindBlock guarantees both markers, so the header up to 6300 lies inside the image.
    if (image.size() < start + block::kMemberTable || ReadWord(image, start + block::kDigestEnd) != 0)
        return Outcome::Failure(corruptMessage);
    const std::string stored = ReadTextField(image, start + block::kDigest, block::kDigestSize + 4);
    const std::optional<std::string> computed = Digest.KeyedPackageDigest(
        reinterpret_cast<const std::uint8_t*>(image.data() + start + block::kDigested), block::kDigestedSize);
    if (!computed) return Outcome::Failure("Insufficient memory");
    if (!KeyedDigestsMatch(stored, *computed)) return Outcome::Failure(corruptMessage);
    // The digest only proves the header came from someone holding the program; the
    // table and the data are checked against the image before anything is read.
    const std::string fault = CheckBlockLayout(image, start);
    if (!fault.empty()) return Outcome::Failure(corruptMessage + " (" + fault + ")");

    std::string title = ReadTextField(image, start + block::kTitle, block::kTextFieldSize);
    std::string settingsName = ReadTextField(image, start + block::kSettingsName, block::kTextFieldSize);
    if (title.empty()) title = settingsName;
    if (!Embedded || settingsName.empty()) settingsName = kDefaultSettingsName;
    if (title.empty()) title = settingsName;
    Title = title;
    SettingsName = settingsName;
    headerChecked_ = true;
    return Outcome::Success();
}

Outcome ContentPackage::CheckContent(const std::string& corruptMessage) const {
    if (!headerChecked_) return Outcome::Failure("The package has not been checked");
    // Once deciphered in place the data no longer matches its hash; it was checked before.
    if (!deciphered_ && CheckContentHash(Image, BlockStart) == ContentHashCheck::Differs)
        return Outcome::Failure(corruptMessage + kContentChanged);
    return Outcome::Success();
}

Outcome ContentPackage::VerifyAndDecipher(const std::string& corruptMessage) {
    if (!headerChecked_) return Outcome::Failure("The package has not been checked");
    if (deciphered_) return Outcome::Success();
    const BlowfishCipher cipher(PackageCipherKey());
    auto* data = reinterpret_cast<std::uint8_t*>(Image.data() + BlockStart + block::kData);
    const ContentHashCheck check = HashWhileDeciphering(Image, BlockStart, [&](std::size_t from, std::size_t count) {
        cipher.DecryptInPlace(data + from, count);
    });
    deciphered_ = true;
    if (check != ContentHashCheck::Differs) return Outcome::Success();
    // The deciphered bytes of a changed package are never used.
    headerChecked_ = false;
    return Outcome::Failure(corruptMessage + kContentChanged);
}

Outcome ContentPackage::ReadBranding() {
    if (Outcome fields = ReadBrandingFields(); !fields) return fields;
    if (!deciphered_) {
        const BlowfishCipher cipher(PackageCipherKey());
        cipher.DecryptInPlace(reinterpret_cast<std::uint8_t*>(Image.data() + BlockStart + block::kData),
                              ReadWord(Image, BlockStart + block::kDataLength));
        deciphered_ = true;
    }
    return Outcome::Success();
}

Outcome ContentPackage::ReadBrandingFields() {
    // Only a package whose header and layout were checked is read or deciphered.
    if (!headerChecked_) return Outcome::Failure("The package has not been checked");
    const std::string_view image = Image;
    const std::size_t start = BlockStart;
    MemberCount = ReadWord(image, start + block::kMemberCount);
    MaxSideBanners = static_cast<int>(ReadWord(image, start + block::kMaxSideBanners));
    if (MemberCount == 0) return Outcome::Failure("There are no HTML/image files in the package");

    struct List {
        const char* name;
        std::size_t at, size;
    };
    const List lists[] = {{"Top Banners", block::kTopBanners, block::kTopBannersSize},
                          {"Side Banners", block::kSideBanners, block::kSideBannersSize},
                          {"Menu Text Links", block::kMenuTextLinks, block::kMenuTextLinksSize}};
    std::vector<BrandingPair> parsed[3];
    for (int i = 0; i < 3; ++i) {
        auto pairs = ParseBrandingPairs(ReadTextField(image, start + lists[i].at, lists[i].size));
        if (!pairs) return Outcome::Failure(BrandingErrorMessage(lists[i].name));
        parsed[i] = std::move(*pairs);
    }
    QuotedAddressLists(parsed[0], TopBannerUrls, TopBannerLinks);
    QuotedAddressLists(parsed[1], SideBannerUrls, SideBannerLinks);
    MenuTextLinks.clear();
    for (const auto& [text, target] : parsed[2])
        MenuTextLinks += "<a href='" + CleanUrl(target) + "'>" + text + "</a><BR>\r\n";

    FooterName = ReadTextField(image, start + block::kFooterName, block::kTextFieldSize);
    FooterLink = ReadTextField(image, start + block::kFooterLink, block::kTextFieldSize);
    return Outcome::Success();
}

std::vector<PackageMember> ContentPackage::Members() const {
    if (!headerChecked_) return {};
    return ReadMemberTable(Image, BlockStart);
}

std::string_view ContentPackage::MemberBytes(const PackageMember& member) const {
    if (member.offset == 0) return {};
    const std::size_t at = BlockStart + member.offset;
    if (at >= Image.size()) return {};
    return std::string_view(Image).substr(at, member.size);
}

}  // namespace qen
