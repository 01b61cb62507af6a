// An article page is untrusted bytes from a remote host: formatting, sanitising and filling
// the page must hold on any text, and nothing that could run script or act as a command
// may come out, in the article or anywhere else on the written page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "../tests/articles/SafeMarkupCheck.h"
#include "../tests/fakes/FilledPageCheck.h"
#include "articles/ArticleFormatter.h"
#include "articles/ArticlePages.h"
#include "articles/ArticleSanitiser.h"
#include "package/ContentSite.h"

namespace {

void Fail(const char* what, const std::string& problem) {
    std::fprintf(stderr, "%s: %s\n", what, problem.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the saved state and whether the text goes straight to the
    // sanitiser, so both see inputs of their own shape.
    const std::uint8_t mode = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string id = "77";
    const char* launch = qen::test::kCheckLaunchAddress;

    const qen::FormattedArticle article = qen::FormatArticleHtml(text, id, (mode & 1) != 0);
    const std::string html = (mode & 2) != 0 ? text : article.body;
    const std::string safe = qen::SanitizeArticleHtml(html, id, launch);

    if (const std::string problem = qen::test::FindUnsafeMarkup(safe, id); !problem.empty())
        Fail("unsafe markup left", problem);
    if (qen::SanitizeArticleHtml(safe, id, launch) != safe) Fail("a second pass changed the text", "");

    qen::ContentSite site;
    site.PageTemplate = qen::test::kCheckTemplate;
    site.Niche = "Dogs";
    const std::string page = qen::CurrentArticlePageText(safe, article.title, site);
    const std::string fault = qen::test::FindFillingFault(
        page, [&id](const GumboElement& element) { return qen::test::FindUnsafeElement(element, id); });
    if (!fault.empty()) Fail("the filled page is not as written", fault);
    return 0;
}
