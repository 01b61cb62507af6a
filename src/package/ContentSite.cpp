#include "package/ContentSite.h"

#include <filesystem>
#include <system_error>

#include "package/BlockCipher.h"
#include "package/Branding.h"
#include "package/PackageFormat.h"
#include "package/PackageSecrets.h"
#include "platform/Settings.h"
#include "platform/Ui.h"
#include "files/FileHelpers.h"
#include "files/PathHelpers.h"

namespace qen {

namespace {

constexpr const char* kExeCorrupt = "The .exe file is corrupt";
constexpr const char* kQenCorrupt = "The .qen file is corrupt";

// The path with its extension replaced; a file name without a dot gets one appended.
std::string WithExtension(const std::string& path, std::string_view extension) {
    std::string stem = WithoutExtension(path);
    if (stem.empty() && ExtensionOf(path).empty()) stem = path;
    return stem + std::string(extension);
}

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error) && !std::filesystem::is_directory(path, error);
}

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

ContentSite::ContentSite(Ui& ui, Settings& settings) : ui_(ui), settings_(settings) {}

bool ContentSite::OpenPackage(const std::string& exePath, std::string& userDataPath,
                              const std::string& commandLineFile) {
    Package.Embedded = true;
    std::optional<std::string> exeImage = ReadWholeFile(ui_, exePath);
    if (!exeImage || exeImage->empty()) return false;
    if (FindBlock(std::move(*exeImage))) {
        if (!CheckPackageHeader(kExeCorrupt)) return false;
        userDataPath = WithExtension(exePath, ".lum");
        return true;
    }

    Package.Embedded = false;
    std::string packagePath;
    if (!commandLineFile.empty() && IsExistingFile(commandLineFile)) {
        const std::string extension = ExtensionOf(commandLineFile);
        if (extension == ".qen")
            packagePath = commandLineFile;
        else if (extension == ".lum")
            packagePath = WithExtension(commandLineFile, ".qen");
    }

    if (packagePath.empty()) {
        std::string initialFolder = settings_.GetString(kDefaultSettingsName, "InitDir", "");
        std::string beside = FindPackageBeside(exePath);
        if (beside == "MULTIPLE")
            initialFolder = DirectoryOf(exePath);
        else
            packagePath = beside;

        if (packagePath.empty()) {
            FileDialogRequest request;
            request.title = "Select a .qen file";
            request.filter = "Qen Files (*.qen)|*.qen||";
            request.initialFolder = initialFolder;
            std::optional<std::string> chosen = ui_.ChooseFile(request);
            if (!chosen || chosen->empty()) return false;
            packagePath = *chosen;
            if (DirectoryOf(packagePath) != DirectoryOf(exePath))
                settings_.SetString(kDefaultSettingsName, "InitDir", DirectoryOf(packagePath));
        }
    }

    std::optional<std::string> image = ReadWholeFile(ui_, packagePath);
    if (!image) return false;
    // An empty file is said to be unusable rather than ending the program without a word.
    if (image->empty() || !FindBlock(std::move(*image))) {
        ui_.ShowMessage(FileNameOf(packagePath) + " is not compatible with the Qen Runtime", Icon::Stop);
        return false;
    }
    if (!CheckPackageHeader(kQenCorrupt)) return false;
    userDataPath = WithExtension(packagePath, ".lum");
    return true;
}

bool ContentSite::FindBlock(std::string image) {
    const std::string marker = BlockMarker();
    if (marker.size() != block::kMarkerSize) {
        ui_.ShowMessage("BranderBlock string is not correct length", Icon::Stop);
        return false;
    }
    std::optional<std::size_t> start = FindBlockStart(image, marker);
    if (!start) return false;
    Package.Image = std::move(image);
    Package.BlockStart = *start;
    Package.BlockBytes = Package.Image.size() - *start;
    headerChecked_ = false;
    deciphered_ = false;
    return true;
}

bool ContentSite::CheckPackageHeader(const std::string& corruptMessage) {
    const std::string_view image = Package.Image;
    const std::size_t start = Package.BlockStart;
    // FindBlock guarantees both markers, so the header up to 6300 lies inside the image.
    if (image.size() < start + block::kMemberTable || ReadWord(image, start + block::kDigestEnd) != 0) {
        ui_.ShowMessage(corruptMessage, Icon::Stop);
        return false;
    }
    const std::string stored = ReadTextField(image, start + block::kDigest, block::kDigestSize + 4);
    const std::string computed = Digest.KeyedPackageDigest(
        ui_, reinterpret_cast<const std::uint8_t*>(image.data() + start + block::kDigested),
        block::kDigestedSize);
    if (!KeyedDigestsMatch(stored, computed)) {
        ui_.ShowMessage(corruptMessage, Icon::Stop);
        return false;
    }
    // The digest only proves the header came from someone holding the program; the
    // table and the data are checked against the image before anything is read.
    const std::string fault = CheckBlockLayout(image, start);
    if (!fault.empty()) {
        ui_.ShowMessage(corruptMessage + " (" + fault + ")", Icon::Stop);
        return false;
    }

    std::string title = ReadTextField(image, start + block::kTitle, block::kTextFieldSize);
    std::string settingsName = ReadTextField(image, start + block::kSettingsName, block::kTextFieldSize);
    if (title.empty()) title = settingsName;
    if (!Package.Embedded || settingsName.empty()) settingsName = kDefaultSettingsName;
    if (title.empty()) title = settingsName;
    Package.Title = title;
    Package.SettingsName = settingsName;
    headerChecked_ = true;
    return true;
}

std::string ContentSite::FindPackageBeside(const std::string& exePath) {
    const std::string besideExe = WithExtension(exePath, ".qen");
    if (IsExistingFile(besideExe)) return besideExe;

    const std::string folder = DirectoryOf(exePath);
    std::error_code error;
    std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
    if (error) return {};
    std::string found;
    for (const auto& entry : entries) {
        std::error_code entryError;
        if (entry.is_directory(entryError)) continue;
        const std::string name = entry.path().filename().string();
        if (ExtensionOf(name) != ".qen") continue;
        if (!found.empty()) return "MULTIPLE";
        found = folder + name;
    }
    return found;
}

bool ContentSite::ReadBranding() {
    // Only a package whose header and layout were checked is read or deciphered.
    if (!headerChecked_) return false;
    const std::string_view image = Package.Image;
    const std::size_t start = Package.BlockStart;
    const std::uint32_t dataLength = ReadWord(image, start + block::kDataLength);
    MemberCount = ReadWord(image, start + block::kMemberCount);
    Package.MemberCount = MemberCount;
    MaxSideBanners = static_cast<int>(ReadWord(image, start + block::kMaxSideBanners));
    if (MemberCount == 0) {
        ui_.ShowMessage("There are no HTML/image files in the package", Icon::Stop);
        return false;
    }

    std::vector<BrandingPair> pairs;
    if (!ParseBrandingList(ui_, "Top Banners",
                           ReadTextField(image, start + block::kTopBanners, block::kTopBannersSize), pairs))
        return false;
    QuotedAddressLists(pairs, TopBannerUrls, TopBannerLinks);

    if (!ParseBrandingList(ui_, "Side Banners",
                           ReadTextField(image, start + block::kSideBanners, block::kSideBannersSize), pairs))
        return false;
    QuotedAddressLists(pairs, SideBannerUrls, SideBannerLinks);

    if (!ParseBrandingList(ui_, "Menu Text Links",
                           ReadTextField(image, start + block::kMenuTextLinks, block::kMenuTextLinksSize),
                           pairs))
        return false;
    MenuTextLinks.clear();
    for (const auto& [text, target] : pairs)
        MenuTextLinks += "<a href='" + CleanUrl(target) + "'>" + text + "</a><BR>\r\n";

    FooterName = ReadTextField(image, start + block::kFooterName, block::kTextFieldSize);
    FooterLink = ReadTextField(image, start + block::kFooterLink, block::kTextFieldSize);

    if (!deciphered_) {
        BlowfishCipher cipher(PackageCipherKey());
        auto* data = reinterpret_cast<std::uint8_t*>(Package.Image.data() + start + block::kData);
        cipher.Decrypt(data, dataLength, data);
        deciphered_ = true;
    }
    return true;
}

}  // namespace qen
