#include "package/ContentSite.h"

#include <filesystem>
#include <system_error>

#include "package/SiteText.h"
#include "files/FileHelpers.h"

namespace qen {

std::string FillTemplate(std::string page, std::string_view body, std::string_view previousNext,
                         std::string_view topLeftText, std::string_view topRightText, std::string_view title) {
    page = ReplaceAll(std::move(page), "%%videoposts%%", body);
    page = ReplaceAll(std::move(page), "%%previousnext%%", previousNext);
    page = ReplaceAll(std::move(page), "%%toplefttext%%", topLeftText);
    page = ReplaceAll(std::move(page), "%%toprighttext%%", topRightText);
    page = ReplaceAll(std::move(page), "%%pagetitle%%", title);
    return page;
}

std::string ContentSite::FillPage(std::string_view body, std::string_view previousNext,
                                  std::string_view topLeftText, std::string_view topRightText,
                                  std::string_view title) const {
    return FillTemplate(PageTemplate, body, previousNext, topLeftText, topRightText, title);
}

bool ContentSite::BuildHelpPage(const std::string& helpText) {
    const std::string body = ReplaceAll(ExtractBody(helpText), "%%siteniche%%", ToLowerAscii(Niche));
    const std::string page = FillPage(body, "", "", "", Niche);
    const std::string path = WorkFolder + "help.html";
    // A package without a help page still gets one; it must be removed at exit as well.
    bool recorded = false;
    for (const std::string& created : CreatedFiles) recorded = recorded || created == path;
    if (!recorded) RecordCreatedFile(path);
    return WriteWholeFile(ui_, path, page);
}

void ContentSite::RemoveGeneratedFiles(int videoPageCount, int playlistPageCount) {
    auto remove = [](const std::string& path) {
        std::error_code error;
        return std::filesystem::remove(path, error);
    };
    for (const std::string& path : CreatedFiles) remove(path);
    CreatedFiles.clear();
    if (WorkFolder.empty()) return;

    for (int n = 1; n <= videoPageCount; ++n)
        if (!remove(WorkFolder + "videos" + std::to_string(n) + ".html") && n >= 2) break;
    for (int n = 1; n <= playlistPageCount; ++n)
        if (!remove(WorkFolder + "playlist" + std::to_string(n) + ".html") && n >= 2) break;
    for (const char* name : {"relatedvideos.html", "blankpage.html", "articles.html", "currentarticle.html",
                             "notepad.html", "diary.html", "videolist.arc", "index.html"})
        remove(WorkFolder + name);
}

}  // namespace qen
