#include "package/ContentSite.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "package/PackageFormat.h"
#include "package/SiteText.h"
#include "platform/Ui.h"
#include "files/FileHelpers.h"
#include "files/PathHelpers.h"

namespace qen {

namespace {

constexpr const char* kFetchingArticlesPage =
    "<DIV align=center><FONT face=Verdana size=3><BR><BR><BR><BR><BR>Fetching Article Data - Please Wait</DIV>";

bool IsSiteNicheMember(const std::string& name) {
    return name == "SiteNiche.txt" || name == "siteniche.txt";
}

// A member's bytes inside the image, clamped to it.
std::string_view MemberBytes(std::string_view image, std::size_t blockStart, const PackageMember& member) {
    if (member.offset == 0) return {};
    const std::size_t at = blockStart + member.offset;
    if (at >= image.size()) return {};
    return image.substr(at, member.size);
}

std::string AsText(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace

std::string ParseSiteNicheText(std::string_view text, std::string& niche, std::string& articleCategory,
                               std::vector<std::string>& excludedWords) {
    const std::size_t lineEnd = text.find('\n');
    if (lineEnd == std::string_view::npos) return "The SiteNiche.txt object does not contain 2 lines";
    std::string_view nicheLine = text.substr(0, lineEnd);
    const std::string_view rest = text.substr(lineEnd + 1);

    const std::size_t dash = nicheLine.find('-');
    if (dash != std::string_view::npos) {
        std::string_view words = nicheLine.substr(dash);
        std::size_t at = 0;
        while (at != std::string_view::npos && excludedWords.size() < ContentSite::kMaxExcludedWords) {
            const std::size_t next = words.find('-', at + 1);
            const std::string_view word =
                words.substr(at + 1, next == std::string_view::npos ? std::string_view::npos : next - at - 1);
            excludedWords.push_back(ToLowerAscii(TrimWhitespace(word)));
            at = next;
        }
        nicheLine = nicheLine.substr(0, dash);
    }

    const std::string name = TrimWhitespace(nicheLine);
    if (name.empty()) return "The SiteNiche.txt object does not contain SiteNiche data";
    niche = TitleCase(ToLowerAscii(name));
    articleCategory = TrimWhitespace(rest);
    if (articleCategory.empty()) return "The SiteNiche.txt object does not contain EzineArticles URL data";
    return {};
}

bool ContentSite::ParseSiteNiche(std::string_view text) {
    const std::string error = ParseSiteNicheText(text, Niche, ArticleCategory, ExcludedWords);
    if (!error.empty()) {
        ui_.ShowMessage(error, Icon::Stop);
        return false;
    }
    return true;
}

std::string ContentSite::ApplySiteSubstitutions(std::string text) const {
    const bool footer = !FooterLink.empty() && !FooterName.empty();
    text = ReplaceAll(std::move(text), "TWX_REPLACE_EBOOKNAME", Package.Title);
    text = ReplaceAll(std::move(text), "<a href=\"\">UserLink</a><BR>", MenuTextLinks);
    text = ReplaceAll(std::move(text), "%%SiteNiche%%", Niche);
    text = ReplaceAll(std::move(text), "%%footerlink%%", footer ? FooterLink : std::string());
    text = ReplaceAll(std::move(text), "%%footertext%%", footer ? "Brought to you by " + FooterName : std::string());
    if (!TopBannerUrls.empty())
        text = ReplaceAll(std::move(text), "var TopBannerUrls = new Array ();",
                          "var TopBannerUrls = [" + TopBannerUrls + "];");
    if (!TopBannerLinks.empty())
        text = ReplaceAll(std::move(text), "var TopBannerLinks = new Array ();",
                          "var TopBannerLinks = [" + TopBannerLinks + "];");
    if (!SideBannerUrls.empty())
        text = ReplaceAll(std::move(text), "var SideBannerUrls = new Array ();",
                          "var SideBannerUrls = [" + SideBannerUrls + "];");
    if (!SideBannerLinks.empty())
        text = ReplaceAll(std::move(text), "var SideBannerLinks = new Array ();",
                          "var SideBannerLinks = [" + SideBannerLinks + "];");
    text = ReplaceAll(std::move(text), "var MaxSideBanners = 5;",
                      "var MaxSideBanners = " + std::to_string(MaxSideBanners) + ";");
    text = ReplaceAll(std::move(text), "target=_blank", "");
    text = ReplaceAll(std::move(text), "target='_blank'", "");
    text = ReplaceAll(std::move(text), "target=\"_blank\"", "");
    return text;
}

void ContentSite::RecordCreatedFile(const std::string& path) {
    if (CreatedFiles.size() < kMaxCreatedFiles) CreatedFiles.push_back(path);
}

bool ContentSite::WriteMember(const std::string& path, std::string_view data) {
    bool written = false;
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        written = data.empty() || std::fwrite(data.data(), 1, data.size(), file) == data.size();
        written = std::fclose(file) == 0 && written;
    }
    if (!written) ui_.ShowMessage("Unable to create temp file:\n" + path, Icon::Stop);
    return written;
}

bool ContentSite::BuildSite(const std::string& workFolder) {
    WorkFolder = workFolder;
    // Member data is read only from a checked package once it has been deciphered.
    if (!headerChecked_ || !deciphered_) return false;
    const std::string_view image = Package.Image;
    const std::vector<PackageMember> members = ReadMemberTable(image, Package.BlockStart);

    for (const PackageMember& member : members) {
        if (!IsSiteNicheMember(member.name)) continue;
        if (!ParseSiteNiche(AsText(MemberBytes(image, Package.BlockStart, member)))) return false;
    }

    CreatedFiles.clear();
    std::string helpText;
    for (const PackageMember& member : members) {
        if (IsSiteNicheMember(member.name)) continue;
        if (!IsSafeMemberName(member.name)) {
            ui_.ShowMessage("The package holds a file with an unsafe name: \"" + member.name + "\"", Icon::Stop);
            return false;
        }
        const std::string name = member.name == "template.html" ? "videos1.html" : member.name;
        const std::string path = WorkFolder + name;
        const std::string extension = ExtensionOf(name);
        const std::string_view bytes = MemberBytes(image, Package.BlockStart, member);

        bool written;
        if (extension == ".htm" || extension == ".html" || extension == ".js" || extension == ".css") {
            std::string text = ApplySiteSubstitutions(AsText(bytes));
            written = WriteMember(path, text);
            if (name == "videos1.html") PageTemplate = text;
            if (name == "help.html") helpText = text;
        } else if (extension == ".txt") {
            continue;
        } else {
            written = WriteMember(path, bytes);
        }
        RecordCreatedFile(path);
        if (!written) return false;
    }

    if (!WriteWholeFile(ui_, WorkFolder + "articles.html", kFetchingArticlesPage)) return false;
    return BuildHelpPage(helpText);
}

}  // namespace qen
