#include "package/ContentSite.h"

#include "base/PageNames.h"
#include "files/FileIO.h"
#include "package/MembersAhead.h"
#include "package/SiteNiche.h"
#include "text/TextOps.h"
#include "web/EndpointsFile.h"

namespace qen {

namespace {

bool IsSiteNicheMember(const std::string& name) {
    return name == "SiteNiche.txt" || name == "siteniche.txt";
}

std::string AsText(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

std::string ApplySiteSubstitutions(const ContentPackage& package, const std::string& niche, std::string text) {
    const bool footer = !package.FooterLink.empty() && !package.FooterName.empty();
    text = ReplaceAll(std::move(text), "TWX_REPLACE_EBOOKNAME", package.Title);
    text = ReplaceAll(std::move(text), "<a href=\"\">UserLink</a><BR>", package.MenuTextLinks);
    text = ReplaceAll(std::move(text), "%%SiteNiche%%", niche);
    text = ReplaceAll(std::move(text), "%%footerlink%%", footer ? package.FooterLink : std::string());
    text = ReplaceAll(std::move(text), "%%footertext%%",
                      footer ? "Brought to you by " + package.FooterName : std::string());
    struct BannerArray {
        const char* declaration;
        const char* name;
        const std::string& values;
    };
    const BannerArray arrays[] = {
        {"var TopBannerUrls = new Array ();", "TopBannerUrls", package.TopBannerUrls},
        {"var TopBannerLinks = new Array ();", "TopBannerLinks", package.TopBannerLinks},
        {"var SideBannerUrls = new Array ();", "SideBannerUrls", package.SideBannerUrls},
        {"var SideBannerLinks = new Array ();", "SideBannerLinks", package.SideBannerLinks},
    };
    for (const BannerArray& array : arrays)
        if (!array.values.empty())
            text = ReplaceAll(std::move(text), array.declaration,
                              std::string("var ") + array.name + " = [" + array.values + "];");
    text = ReplaceAll(std::move(text), "var MaxSideBanners = 5;",
                      "var MaxSideBanners = " + std::to_string(package.MaxSideBanners) + ";");
    text = ReplaceAll(std::move(text), "target=_blank", "");
    text = ReplaceAll(std::move(text), "target='_blank'", "");
    text = ReplaceAll(std::move(text), "target=\"_blank\"", "");
    return text;
}

}  // namespace

std::string FillTemplate(std::string_view pageTemplate, std::string_view body, std::string_view previousNext,
                         std::string_view topLeftText, std::string_view topRightText, std::string_view title) {
    const TokenValue values[] = {
        {"%%videoposts%%", body},          {"%%previousnext%%", previousNext}, {"%%toplefttext%%", topLeftText},
        {"%%toprighttext%%", topRightText}, {"%%pagetitle%%", title},
    };
    return FillTokens(pageTemplate, values);
}

Outcome ContentSite::ParseSiteNiche(std::string_view text) {
    const std::string error = ParseSiteNicheText(text, Niche, ArticleCategory, ExcludedWords);
    return error.empty() ? Outcome::Success() : Outcome::Failure(error);
}

void ContentSite::RecordCreatedFile(const Path& path) {
    if (CreatedFiles.size() < kMaxCreatedFiles) CreatedFiles.push_back(path);
}

Outcome ContentSite::BuildSite(const ContentPackage& package, const Path& workFolder) {
    WorkFolder = workFolder;
    if (!package.HeaderChecked()) return Outcome::Failure("The package has not been checked");
    const std::vector<PackageMember> members = package.Members();
    auto unreadable = [](const PackageMember& member) {
        return Outcome::Failure("Unable to read " + member.name + " from the package");
    };

    // The niche first: every page's substitutions need it.
    std::string bytes;
    for (const PackageMember& member : members) {
        if (!IsSiteNicheMember(member.name)) continue;
        if (!package.ReadMember(member, bytes)) return unreadable(member);
        if (Outcome parsed = ParseSiteNiche(AsText(bytes)); !parsed) return parsed;
    }

    // Every member that becomes a file or a setting, in table order, so a later member of
    // the same name still takes an earlier one's place.
    std::vector<PackageMember> used;
    for (const PackageMember& member : members) {
        const bool otherText = Path(member.name).Extension() == ".txt" && member.name != "endpoints.txt";
        if (!IsSiteNicheMember(member.name) && !otherText) used.push_back(member);
    }
    MembersAhead ahead(package, used);

    CreatedFiles.clear();
    PackageEndpoints.clear();
    std::string helpText;
    for (const PackageMember& member : used) {
        if (!IsSafeMemberName(member.name))
            return Outcome::Failure("The package holds a file with an unsafe name: \"" + member.name + "\"");
        if (!ahead.Next(bytes)) return unreadable(member);
        const std::string name = member.name == "template.html" ? page::kFirstVideos : member.name;
        const Path path = WorkFolder / name;
        const std::string extension = path.Extension();
        if (extension == ".txt") {
            PackageEndpoints = ParseEndpointsFile(AsText(bytes)).values;
            continue;
        }

        bool written;
        if (extension == ".htm" || extension == ".html" || extension == ".js" || extension == ".css") {
            std::string text = ApplySiteSubstitutions(package, Niche, AsText(bytes));
            written = WriteWholeFile(path, text);
            if (name == page::kFirstVideos) PageTemplate = text;
            if (name == page::kHelp) helpText = text;
        } else {
            written = WriteWholeFile(path, bytes);
        }
        RecordCreatedFile(path);
        if (!written) return Outcome::Failure("Unable to create temp file:\n" + path.Display());
    }

    const Path articles = WorkFolder / page::kArticles;
    if (!WriteWholeFile(articles, kFetchingArticlesPage))
        return Outcome::Failure("Failed to write file " + articles.Display());
    return BuildHelpPage(helpText);
}

std::string ContentSite::FillPage(std::string_view body, std::string_view previousNext,
                                  std::string_view topLeftText, std::string_view topRightText,
                                  std::string_view title) const {
    return FillTemplate(PageTemplate, body, previousNext, topLeftText, topRightText, title);
}

Outcome ContentSite::BuildHelpPage(const std::string& helpText) {
    const std::string body = ReplaceAll(ExtractBody(helpText), "%%siteniche%%", ToLowerAscii(Niche));
    const std::string page = FillPage(body, "", "", "", Niche);
    const Path path = WorkFolder / page::kHelp;
    // A package without a help page still gets one; it must be removed at exit as well.
    bool recorded = false;
    for (const Path& created : CreatedFiles) recorded = recorded || created == path;
    if (!recorded) RecordCreatedFile(path);
    if (!WriteWholeFile(path, page)) return Outcome::Failure("Failed to write file " + path.Display());
    return Outcome::Success();
}

void ContentSite::RemoveGeneratedFiles(int videoPageCount, int playlistPageCount) {
    auto remove = [](const Path& path) { return RemoveFile(path); };
    for (const Path& path : CreatedFiles) remove(path);
    CreatedFiles.clear();
    if (WorkFolder.Empty()) return;

    for (int n = 1; n <= videoPageCount; ++n)
        if (!remove(WorkFolder / page::NumberedPage(page::kVideosStem, n)) && n >= 2) break;
    for (int n = 1; n <= playlistPageCount; ++n)
        if (!remove(WorkFolder / page::NumberedPage(page::kPlaylistStem, n)) && n >= 2) break;
    for (const char* name : {page::kRelatedVideos, page::kBlank, page::kArticles, page::kCurrentArticle,
                             page::kNotepad, page::kDiary, "videolist.arc", page::kWaiting})
        remove(WorkFolder / name);
}

}  // namespace qen
