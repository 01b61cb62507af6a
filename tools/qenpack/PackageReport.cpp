#include "qenpack/PackageReport.h"

#include "package/BlockCipher.h"
#include "package/PackageDigest.h"
#include "package/PackageFormat.h"
#include "package/PackageSecrets.h"
#include "package/RequiredSiteFiles.h"
#include "package/SiteNiche.h"
#include "web/EndpointsFile.h"

namespace qen {

namespace {

std::vector<std::string> MemberNames(const PackageReport& report) {
    std::vector<std::string> names;
    for (const auto& row : report.members) names.push_back(row.name);
    return names;
}

}  // namespace

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

    report.recordedContentHash = std::string(image.substr(s + block::kContentHash, block::kContentHashSize));
    const std::string layoutFault = CheckBlockLayout(image, s, image.size());
    if (layoutFault.empty()) {
        report.contentHash = CheckContentHash(image, s);
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
    else if (report.contentHash == ContentHashCheck::Differs)
        report.fault = "the files or their table changed after the package was made (content hash differs)";
    else if (const auto twice = RepeatedName(MemberNames(report)))
        report.fault = "the package holds two files named \"" + *twice + "\"";
    list(block::kTopBanners, block::kTopBannersSize, report.branding.topBanners, "top banners");
    list(block::kSideBanners, block::kSideBannersSize, report.branding.sideBanners, "side banners");
    list(block::kMenuTextLinks, block::kMenuTextLinksSize, report.branding.menuTextLinks, "menu text links");
    if (!report.fault.empty()) return report;

    std::string data(image.substr(s + block::kData, report.dataLength));
    BlowfishCipher cipher(PackageCipherKey());
    auto* bytes = reinterpret_cast<std::uint8_t*>(data.data());
    cipher.Decrypt(bytes, data.size(), bytes);

    for (const auto& row : report.members) {
        std::string bytesOf;
        if (row.offset != 0) bytesOf = data.substr(row.offset - block::kData, row.size);
        if (row.name == "SiteNiche.txt" || row.name == "siteniche.txt") {
            std::string niche, category;
            std::vector<std::string> words;
            const std::string nicheFault =
                ParseSiteNicheText(bytesOf.substr(0, bytesOf.find('\0')), niche, category, words);
            if (!nicheFault.empty() && report.fault.empty()) report.fault = row.name + ": " + nicheFault;
        }
        if (row.name == "endpoints.txt") {
            EndpointsFile endpoints = ParseEndpointsFile(bytesOf);
            if (endpoints.faultyLine && report.fault.empty())
                report.fault = EndpointsFault(endpoints);
            report.endpoints = std::move(endpoints.values);
        }
        if (withFiles) report.files.push_back({row.name, std::move(bytesOf)});
    }
    if (const std::string missing = MissingSiteFiles(MemberNames(report)); !missing.empty() && report.fault.empty())
        report.fault = "the package has no " + missing;
    if (!report.fault.empty()) report.files.clear();
    return report;
}

}  // namespace qen
