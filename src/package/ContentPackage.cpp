#include "package/ContentPackage.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "package/Branding.h"
#include "package/ContentHash.h"
#include "package/MarkerScan.h"
#include "package/PackageSecrets.h"

namespace qen {

namespace {

constexpr const char* kContentChanged = " (content changed)";
constexpr std::uint64_t kCipherBlock = 8;

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
    file_.reset();
    headerChecked_ = false;
    return true;
}

bool ContentPackage::FindBlock(std::shared_ptr<const ReadableFile> file) {
    const std::string marker = BlockMarker();
    if (!file || marker.size() != block::kMarkerSize) return false;
    const std::uint64_t size = file->Size();
    if (size > kMaxReadableFileSize) return false;
    // Read up to the first marker and a block's header and table after it: FindBlockStart
    // decides on those bytes as it would on the whole file.
    std::string held;
    try {
        // Only what is read is touched; a file without a block is held once, not regrown.
        held.reserve(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::optional<std::size_t> firstMarker;
    while (held.size() < size && (!firstMarker || held.size() < *firstMarker + block::kData)) {
        const std::size_t old = held.size();
        const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(kMarkerScanPiece, size - old));
        held.resize(old + piece);
        if (!file->ReadAt(old, held.data() + old, piece)) return false;
        if (!firstMarker) {
            const std::size_t at = held.find(marker, old < marker.size() ? 0 : old - marker.size() + 1);
            if (at != std::string::npos) firstMarker = at;
        }
    }
    const std::optional<std::size_t> start = FindBlockStart(held, marker);
    if (!start) return false;
    if (held.size() > *start + block::kData) held.resize(*start + block::kData);
    held.shrink_to_fit();
    Image = std::move(held);
    BlockStart = *start;
    BlockBytes = size - *start;
    file_ = std::move(file);
    headerChecked_ = false;
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
    const std::string fault = CheckBlockLayout(image, start, start + BlockBytes);
    if (!fault.empty()) return Outcome::Failure(corruptMessage + " (" + fault + ")");

    std::string title = ReadTextField(image, start + block::kTitle, block::kTextFieldSize);
    std::string settingsName = ReadTextField(image, start + block::kSettingsName, block::kTextFieldSize);
    if (title.empty()) title = settingsName;
    if (!Embedded || settingsName.empty()) settingsName = kDefaultSettingsName;
    if (title.empty()) title = settingsName;
    Title = title;
    SettingsName = settingsName;
    if (!cipher_) cipher_ = std::make_shared<const BlowfishCipher>(PackageCipherKey());
    headerChecked_ = true;
    return Outcome::Success();
}

Outcome ContentPackage::CheckContent(const std::string& corruptMessage) {
    if (!headerChecked_) return Outcome::Failure("The package has not been checked");
    const std::string_view header = std::string_view(Image).substr(BlockStart, block::kData);
    std::string buffer;
    const std::uint64_t data = BlockStart + block::kData;
    const ContentHashCheck check = CheckContentHashInPieces(
        header, [&](std::uint64_t from, std::size_t count) { return FileBytes(data + from, count, buffer); });
    if (check != ContentHashCheck::Differs) return Outcome::Success();
    headerChecked_ = false;
    return Outcome::Failure(corruptMessage + kContentChanged);
}

Outcome ContentPackage::ReadBranding() {
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

bool ContentPackage::ReadMember(const PackageMember& member, std::string& into) const {
    into.clear();
    if (!headerChecked_) return false;
    if (member.offset == 0 || member.size == 0) return true;
    if (member.offset < block::kData) return false;
    // The cipher works on whole blocks counted from the data region's start; CheckBlockLayout
    // keeps the member, and so its blocks, inside the region.
    const std::uint64_t inData = member.offset - block::kData;
    const std::uint64_t first = inData - inData % kCipherBlock;
    const std::uint64_t end = (inData + member.size + kCipherBlock - 1) / kCipherBlock * kCipherBlock;
    const auto count = static_cast<std::size_t>(end - first);
    const std::string_view stored = FileBytes(BlockStart + block::kData + first, count, into);
    if (stored.size() != count) {
        into.clear();
        return false;
    }
    if (stored.data() != into.data()) into.assign(stored);
    auto* bytes = reinterpret_cast<std::uint8_t*>(into.data());
    cipher_->DecryptInPlace(bytes, count);
    const auto skipped = static_cast<std::size_t>(inData - first);
    if (skipped) std::memmove(bytes, bytes + skipped, member.size);
    into.resize(member.size);
    return true;
}

std::optional<std::string> ContentPackage::BlockAsStored() const {
    if (!headerChecked_ || BlockBytes > kMaxReadableFileSize) return std::nullopt;
    std::string block;
    const std::string_view stored = FileBytes(BlockStart, static_cast<std::size_t>(BlockBytes), block);
    // Read again from the file: it must still be the block whose header and content passed.
    const std::string_view header = std::string_view(Image).substr(BlockStart, block::kData);
    if (stored.size() != BlockBytes || stored.substr(0, block::kData) != header) return std::nullopt;
    if (file_ && CheckContentHash(stored, 0) == ContentHashCheck::Differs) return std::nullopt;
    if (stored.data() != block.data()) block.assign(stored);
    return block;
}

std::string_view ContentPackage::FileBytes(std::uint64_t at, std::size_t count, std::string& buffer) const {
    if (at <= Image.size() && count <= Image.size() - at) return std::string_view(Image).substr(at, count);
    if (!file_) return {};
    buffer.resize(count);
    if (!file_->ReadAt(at, buffer.data(), count)) return {};
    return buffer;
}

}  // namespace qen
