#pragma once
// The opened content package: the file image that holds it, its checked header, its
// branding and, once deciphered, its members. Kept for the whole run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Outcome.h"
#include "package/PackageDigest.h"
#include "package/PackageFormat.h"

namespace qen {

class ContentPackage {
public:
    // The settings section of every separate package file, and of the file dialog's "InitDir".
    static constexpr const char* kDefaultSettingsName = "QenRuntime";

    // Keeps `image` when it holds a block (both markers in place); false leaves this unchanged.
    bool FindBlock(std::string image);
    // Checks the found block: digest, terminator and layout, and takes the title and the
    // settings name. `corruptMessage` ("The .qen file is corrupt") is the failure's
    // message, with the reason of a layout fault after it.
    Outcome CheckPackageHeader(const std::string& corruptMessage);
    // Compares the content with the hash the header records (a package without one passes).
    Outcome CheckContent(const std::string& corruptMessage) const;
    // CheckContent and the deciphering of the data in one pass over it; a changed package
    // is left unchecked, so nothing of it is read.
    Outcome VerifyAndDecipher(const std::string& corruptMessage);
    // The branding fields alone: the page's banner arrays, text links and footer.
    Outcome ReadBrandingFields();
    // ReadBrandingFields, then the members deciphered if they are not yet; only a checked
    // package.
    Outcome ReadBranding();

    bool HeaderChecked() const { return headerChecked_; }
    bool Deciphered() const { return deciphered_; }
    // The used rows of the member table, and a member's bytes (empty when it has none).
    std::vector<PackageMember> Members() const;
    std::string_view MemberBytes(const PackageMember& member) const;

    bool Embedded = false;        // the block was found in the program's own file
    std::string Image;            // the whole file holding the block
    std::size_t BlockStart = 0;   // position of the first marker in Image
    std::size_t BlockBytes = 0;   // bytes from BlockStart to the end of Image
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
    bool headerChecked_ = false;
    bool deciphered_ = false;
};

}  // namespace qen
