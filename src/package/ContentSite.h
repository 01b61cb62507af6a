#pragma once
// The opened content package and the site unpacked from it, owned by the application.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/PackageDigest.h"

namespace qen {

class Ui;
class Settings;

struct ContentPackage {
    bool Embedded = false;        // the block was found in the program's own file
    std::string Image;            // the whole file holding the block, kept for the run
    std::size_t BlockStart = 0;   // position of the first marker in Image
    std::size_t BlockBytes = 0;   // bytes from BlockStart to the end of Image
    std::uint32_t MemberCount = 0;
    std::string Title;
    std::string SettingsName;
};

// Parses the niche descriptor: niche line, optional "-" exclusion words, article
// category. Appends exclusion words (lower case) to `excludedWords` until it holds 50.
// Gives the error message, or the empty text on success.
std::string ParseSiteNicheText(std::string_view text, std::string& niche, std::string& articleCategory,
                               std::vector<std::string>& excludedWords);

// Fills the five page placeholders of a copy of `pageTemplate`, in their fixed order.
std::string FillTemplate(std::string pageTemplate, std::string_view body, std::string_view previousNext,
                         std::string_view topLeftText, std::string_view topRightText,
                         std::string_view title);

class ContentSite {
public:
    static constexpr std::size_t kMaxCreatedFiles = 200;
    static constexpr std::size_t kMaxExcludedWords = 50;
    // The settings section of every separate package file, and of the file dialog's "InitDir".
    static constexpr const char* kDefaultSettingsName = "QenRuntime";

    ContentSite(Ui& ui, Settings& settings);

    // Finds the package (inside the program, on the command line, beside the program or
    // through the file dialog), checks its header and sets `userDataPath`.
    bool OpenPackage(const std::string& exePath, std::string& userDataPath,
                     const std::string& commandLineFile);
    // Keeps `image` as the package image when it holds a valid block.
    bool FindBlock(std::string image);
    // Checks the found block: digest, terminator and layout. Shows `corruptMessage`
    // (with the reason of a layout fault) and gives false when it fails.
    bool CheckPackageHeader(const std::string& corruptMessage);
    // A package path beside the program, the empty text, or "MULTIPLE".
    std::string FindPackageBeside(const std::string& exePath);

    bool ReadBranding();

    bool BuildSite(const std::string& workFolder);
    bool ParseSiteNiche(std::string_view text);

    std::string FillPage(std::string_view body, std::string_view previousNext, std::string_view topLeftText,
                         std::string_view topRightText, std::string_view title) const;
    bool BuildHelpPage(const std::string& helpText);
    void RemoveGeneratedFiles(int videoPageCount, int playlistPageCount);

    ContentPackage Package;
    PackageDigest Digest;

    // Branding, filled by ReadBranding.
    std::uint32_t MemberCount = 0;
    int MaxSideBanners = 0;
    std::string FooterName;
    std::string FooterLink;
    std::string MenuTextLinks;
    std::string TopBannerUrls;
    std::string TopBannerLinks;
    std::string SideBannerUrls;
    std::string SideBannerLinks;

    // The site, filled by BuildSite.
    std::string WorkFolder;
    std::string Niche;
    std::string ArticleCategory;
    std::string PageTemplate;
    std::vector<std::string> CreatedFiles;
    // Lower-case words from the niche line, for the video store's title filter.
    std::vector<std::string> ExcludedWords;

private:
    std::string ApplySiteSubstitutions(std::string text) const;
    bool WriteMember(const std::string& path, std::string_view data);
    void RecordCreatedFile(const std::string& path);

    Ui& ui_;
    Settings& settings_;
    bool headerChecked_ = false;
    bool deciphered_ = false;
};

}  // namespace qen
