#pragma once
// The opened content package: the file that holds it, its checked header, its branding
// and its members, deciphered as they are read. Kept for the whole run; the data stays
// enciphered, so a block is carried on as it was found.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Outcome.h"
#include "files/FileIO.h"
#include "package/BlockCipher.h"
#include "package/PackageDigest.h"
#include "package/PackageFormat.h"

namespace qen {

class ContentPackage {
public:
    // The settings section of every separate package file, and of the file dialog's "InitDir".
    static constexpr const char* kDefaultSettingsName = "QenRuntime";

    // Keeps `image` when it holds a block (both markers in place); false leaves this unchanged.
    bool FindBlock(std::string image);
    // As FindBlock on a file that stays open: only its bytes up to the data region are held,
    // and the data is read from the file when it is used, piece by piece.
    bool FindBlock(std::shared_ptr<const ReadableFile> file);
    // Checks the found block: digest, terminator and layout, and takes the title and the
    // settings name. `corruptMessage` ("The .qen file is corrupt") is the failure's
    // message, with the reason of a layout fault after it.
    Outcome CheckPackageHeader(const std::string& corruptMessage);
    // Compares the content with the hash the header records (a package without one passes);
    // a changed package is left unchecked, so nothing of it is read.
    Outcome CheckContent(const std::string& corruptMessage);
    // The branding fields: the page's banner arrays, text links and footer; only a checked
    // package.
    Outcome ReadBranding();

    bool HeaderChecked() const { return headerChecked_; }
    // The used rows of the member table, and a member's deciphered bytes into `into`
    // (empty when it has none); false when the package is unchecked or the file cannot be
    // read any more.
    std::vector<PackageMember> Members() const;
    bool ReadMember(const PackageMember& member, std::string& into) const;
    // The block as its file holds it, from the first marker to the file's end; nothing when
    // the file no longer holds the very block that was checked.
    std::optional<std::string> BlockAsStored() const;

    bool Embedded = false;        // the block was found in the program's own file
    // The file holding the block, from its start: whole, or up to the data region when the
    // rest is read from the file.
    std::string Image;
    std::size_t BlockStart = 0;   // position of the first marker in the file
    std::uint64_t BlockBytes = 0;  // bytes from BlockStart to the end of the file
    std::uint32_t MemberCount = 0;
    std::string Title;
    std::string SettingsName;
    PackageDigest Digest;

    // Branding, filled by ReadBranding: the page's banner arrays, text links and footer.
    int MaxSideBanners = 0;
    std::string FooterName;
    std::string FooterLink;
    std::string MenuTextLinks;
    std::string TopBannerUrls;
    std::string TopBannerLinks;
    std::string SideBannerUrls;
    std::string SideBannerLinks;

private:
    // `count` bytes of the file from `at`: a view into Image when it holds them, else read
    // into `buffer`; shorter when they cannot be read.
    std::string_view FileBytes(std::uint64_t at, std::size_t count, std::string& buffer) const;

    std::shared_ptr<const ReadableFile> file_;  // null when Image is the whole file
    // Set up once the header is checked: its key schedule costs more than a small member.
    std::shared_ptr<const BlowfishCipher> cipher_;
    bool headerChecked_ = false;
};

}  // namespace qen
