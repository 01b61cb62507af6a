#include "package/PackageWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "package/BlockCipher.h"
#include "package/ContentSite.h"
#include "package/PackageDigest.h"
#include "package/PackageFormat.h"
#include "package/PackageSecrets.h"
#include "package/SiteText.h"

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

std::string ReadRawFile(const std::string& path, bool& ok) {
    ok = false;
    std::string data;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return data;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.append(buffer, got);
    ok = !std::ferror(file);
    std::fclose(file);
    return data;
}

}  // namespace

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

    const std::string digest =
        ComputeKeyedPackageDigest(std::string_view(image).substr(block::kDigested, block::kDigestedSize));
    if (digest.size() != block::kDigestSize) {
        error = "the header digest could not be computed";
        return std::nullopt;
    }
    std::copy(digest.begin(), digest.end(), image.begin() + block::kDigest);
    image += data;
    return image;
}

std::optional<BrandingLists> ParseBrandingFile(std::string_view text, std::string& error) {
    BrandingLists lists;
    std::vector<BrandingPair>* current = nullptr;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string line = TrimWhitespace(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            const std::string section = ToLowerAscii(line);
            if (section == "[top banners]")
                current = &lists.topBanners;
            else if (section == "[side banners]")
                current = &lists.sideBanners;
            else if (section == "[menu text links]")
                current = &lists.menuTextLinks;
            else {
                error = where + "unknown section " + line +
                        " (known: [Top Banners], [Side Banners], [Menu Text Links])";
                return std::nullopt;
            }
            continue;
        }
        if (!current) {
            error = where + "an entry before the first section";
            return std::nullopt;
        }
        // The last "|" separates, so a menu link text may hold one itself.
        const std::size_t bar = line.rfind('|');
        if (bar == std::string::npos) {
            error = where + "expected \"first | second\"";
            return std::nullopt;
        }
        std::string first = TrimWhitespace(std::string_view(line).substr(0, bar));
        std::string second = TrimWhitespace(std::string_view(line).substr(bar + 1));
        if (first.empty() || second.empty() || line.find('\0') != std::string::npos) {
            error = where + "both sides of \"|\" must be filled in";
            return std::nullopt;
        }
        current->emplace_back(std::move(first), std::move(second));
    }
    return lists;
}

std::optional<std::vector<PackageFile>> ReadSiteFolder(const std::string& folder, std::string& error) {
    std::error_code code;
    if (!std::filesystem::is_directory(folder, code)) {
        error = folder + " is not a folder";
        return std::nullopt;
    }
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder, code)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code entryCode;
        if (entry.is_directory(entryCode)) {
            error = entry.path().string() + " is a folder; a package holds only the files of one folder";
            return std::nullopt;
        }
        paths.push_back(entry.path());
    }
    if (code) {
        error = "cannot list " + folder + ": " + code.message();
        return std::nullopt;
    }
    std::sort(paths.begin(), paths.end());
    std::vector<PackageFile> files;
    for (const auto& path : paths) {
        bool ok = false;
        PackageFile file{path.filename().string(), ReadRawFile(path.string(), ok)};
        if (!ok) {
            error = "cannot read " + path.string();
            return std::nullopt;
        }
        files.push_back(std::move(file));
    }
    return files;
}

PackageReport ExaminePackage(std::string_view image, bool withFiles) {
    PackageReport report;
    const std::optional<std::size_t> start = FindBlockStart(image, BlockMarker());
    if (!start) {
        report.fault = "no package block found";
        return report;
    }
    report.blockFound = true;
    report.blockStart = *start;
    const std::size_t s = *start;
    report.dataLength = ReadWord(image, s + block::kDataLength);
    report.memberCount = ReadWord(image, s + block::kMemberCount);
    report.toolWord = ReadWord(image, s + block::kToolWord);
    report.maxSideBanners = ReadWord(image, s + block::kMaxSideBanners);
    report.title = ReadTextField(image, s + block::kTitle, block::kTextFieldSize);
    report.settingsName = ReadTextField(image, s + block::kSettingsName, block::kTextFieldSize);
    report.footerName = ReadTextField(image, s + block::kFooterName, block::kTextFieldSize);
    report.footerLink = ReadTextField(image, s + block::kFooterLink, block::kTextFieldSize);
    report.storedDigest = ReadTextField(image, s + block::kDigest, block::kDigestSize + 4);
    report.digestMatches =
        ReadWord(image, s + block::kDigestEnd) == 0 &&
        KeyedDigestsMatch(report.storedDigest,
                          ComputeKeyedPackageDigest(image.substr(s + block::kDigested, block::kDigestedSize)));

    const std::string layoutFault = CheckBlockLayout(image, s);
    if (layoutFault.empty()) {
        for (const PackageMember& member : ReadMemberTable(image, s))
            report.members.push_back({member.offset, member.size, member.name});
    }

    auto list = [&](std::size_t at, std::size_t size, std::vector<BrandingPair>& pairs, const char* name) {
        auto parsed = ParseBrandingPairs(ReadTextField(image, s + at, size));
        if (parsed)
            pairs = std::move(*parsed);
        else if (report.fault.empty())
            report.fault = std::string("the ") + name + " list is not formatted correctly";
    };

    if (!report.digestMatches)
        report.fault = "the header digest does not match";
    else if (!layoutFault.empty())
        report.fault = layoutFault;
    else if (report.memberCount == 0)
        report.fault = "the package holds no files";
    list(block::kTopBanners, block::kTopBannersSize, report.branding.topBanners, "top banners");
    list(block::kSideBanners, block::kSideBannersSize, report.branding.sideBanners, "side banners");
    list(block::kMenuTextLinks, block::kMenuTextLinksSize, report.branding.menuTextLinks, "menu text links");
    if (!report.fault.empty()) return report;

    std::string data(image.substr(s + block::kData, report.dataLength));
    BlowfishCipher cipher(PackageCipherKey());
    auto* bytes = reinterpret_cast<std::uint8_t*>(data.data());
    cipher.Decrypt(bytes, data.size(), bytes);

    bool nicheFound = false;
    for (const auto& row : report.members) {
        std::string bytesOf;
        if (row.offset != 0) bytesOf = data.substr(row.offset - block::kData, row.size);
        if (row.name == "SiteNiche.txt" || row.name == "siteniche.txt") {
            std::string niche, category;
            std::vector<std::string> words;
            const std::string nicheFault =
                ParseSiteNicheText(bytesOf.substr(0, bytesOf.find('\0')), niche, category, words);
            if (!nicheFault.empty() && report.fault.empty()) report.fault = row.name + ": " + nicheFault;
            nicheFound = true;
        }
        if (withFiles) report.files.push_back({row.name, std::move(bytesOf)});
    }
    if (!nicheFound && report.fault.empty()) report.fault = "the package has no SiteNiche.txt";
    if (!report.fault.empty()) report.files.clear();
    return report;
}

}  // namespace qen
