#pragma once
// The site unpacked from the package into the work folder: its niche, its page template
// and every file written for it, so that shutdown can remove them.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/Outcome.h"
#include "base/Path.h"
#include "package/ContentPackage.h"

namespace qen {

// Fills the five page placeholders where the template has them. What is filled in stays as
// it is: a placeholder inside a title or an article is text, not a place to fill.
std::string FillTemplate(std::string_view pageTemplate, std::string_view body, std::string_view previousNext,
                         std::string_view topLeftText, std::string_view topRightText, std::string_view title);

// "articles.html" until the article list is built: the whole file.
inline constexpr const char* kFetchingArticlesPage =
    "<DIV align=center><FONT face=Verdana size=3><BR><BR><BR><BR><BR>Fetching Article Data - Please Wait</DIV>";

class ContentSite {
public:
    static constexpr std::size_t kMaxCreatedFiles = 200;

    // Reads and deciphers the members and writes them into `workFolder` with the site-wide
    // substitutions, then the articles waiting page and the help page. Gives the message of
    // the first failure.
    Outcome BuildSite(const ContentPackage& package, const Path& workFolder);
    Outcome ParseSiteNiche(std::string_view text);

    std::string FillPage(std::string_view body, std::string_view previousNext, std::string_view topLeftText,
                         std::string_view topRightText, std::string_view title) const;
    Outcome BuildHelpPage(const std::string& helpText);
    void RemoveGeneratedFiles(int videoPageCount, int playlistPageCount);

    Path WorkFolder;
    std::string Niche;
    std::string ArticleCategory;
    std::string PageTemplate;
    std::vector<Path> CreatedFiles;
    // Lower-case words from the niche line: the keyword runs pass over titles that hold one.
    std::vector<std::string> ExcludedWords;
    // The hosts named by the package's endpoints.txt (none when it has none or it is faulty).
    std::map<std::string, std::string> PackageEndpoints;

private:
    void RecordCreatedFile(const Path& path);
};

}  // namespace qen
