#pragma once
// Layout of the package block and the checks every package passes before it is used.
// A package is untrusted input: anyone holding a program can make one.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qen {

namespace block {
constexpr std::size_t kMarker = 0;
constexpr std::size_t kMarkerSize = 100;
constexpr std::size_t kDataLength = 100;
constexpr std::size_t kMemberCount = 104;
constexpr std::size_t kToolWord = 108;
constexpr std::size_t kMaxSideBanners = 112;
// SHA-256 of the member table and the data region, as the packaging tool recorded it;
// all zeros in a package made before it did.
constexpr std::size_t kContentHash = 120;
constexpr std::size_t kContentHashSize = 32;
constexpr std::size_t kTitle = 200;
constexpr std::size_t kSettingsName = 300;
constexpr std::size_t kFooterName = 400;
constexpr std::size_t kFooterLink = 500;
constexpr std::size_t kTextFieldSize = 100;
constexpr std::size_t kMenuTextLinks = 1100;
constexpr std::size_t kMenuTextLinksSize = 1200;
constexpr std::size_t kTopBanners = 2300;
constexpr std::size_t kTopBannersSize = 1200;
constexpr std::size_t kSideBanners = 3500;
constexpr std::size_t kSideBannersSize = 2600;
constexpr std::size_t kDigested = 100;
constexpr std::size_t kDigestedSize = 6000;
constexpr std::size_t kDigest = 6100;
constexpr std::size_t kDigestSize = 72;
constexpr std::size_t kDigestEnd = 6172;
constexpr std::size_t kSecondMarker = 6200;
constexpr std::size_t kMemberTable = 6300;
constexpr std::size_t kMemberRowSize = 100;
constexpr std::size_t kMaxMembers = 100;
constexpr std::size_t kMemberNameOffset = 8;
constexpr std::size_t kMemberNameSize = 92;
constexpr std::size_t kData = 16300;
}  // namespace block

std::uint32_t ReadWord(std::string_view image, std::size_t at);  // 0 when out of range
void WriteWord(std::string& image, std::size_t at, std::uint32_t value);
// A zero-terminated field of `size` bytes; a field without a zero ends at its size.
std::string ReadTextField(std::string_view image, std::size_t at, std::size_t size);

// Where the block starts: the first marker, valid only when the second marker starts
// exactly 6,200 bytes later.
std::optional<std::size_t> FindBlockStart(std::string_view image, std::string_view marker);

struct PackageMember {
    std::uint32_t offset = 0;  // from the block start; 0 means no data
    std::uint32_t size = 0;
    std::string name;
};

// True for a plain file name that stays inside the folder it is written to.
bool IsSafeMemberName(std::string_view name);

// Checks the block's extent, data length, member count and every member row against the
// file, whose first bytes `image` holds (at least up to the data region, when the file has
// them) and which is `fileSize` bytes long. Gives the reason of the first fault, or the
// empty text when all is well. A member count of 0 passes here: the branding reader
// refuses it with its own message.
std::string CheckBlockLayout(std::string_view image, std::size_t blockStart, std::uint64_t fileSize);

// The used rows of the member table; call only after CheckBlockLayout passed.
std::vector<PackageMember> ReadMemberTable(std::string_view image, std::size_t blockStart);

}  // namespace qen
