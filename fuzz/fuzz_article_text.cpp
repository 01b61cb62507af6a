// An article page is untrusted bytes from a remote host: formatting and sanitising must
// hold on any text, and nothing that could run script may come out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "../tests/articles/SafeMarkupCheck.h"
#include "articles/ArticleFormatter.h"
#include "articles/ArticleSanitiser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the saved state and whether the text goes straight to the
    // sanitiser, so both see inputs of their own shape.
    const std::uint8_t mode = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string id = "77";

    const qen::FormattedArticle article = qen::FormatArticleHtml(text, id, (mode & 1) != 0);
    const std::string html = (mode & 2) != 0 ? text : article.body;
    const std::string safe = qen::SanitizeArticleHtml(html, id);

    const std::string problem = qen::test::FindUnsafeMarkup(safe, id);
    if (!problem.empty()) {
        std::fprintf(stderr, "unsafe markup left: %s\n", problem.c_str());
        std::abort();
    }
    if (qen::SanitizeArticleHtml(safe, id) != safe) {
        std::fprintf(stderr, "a second pass changed the text\n");
        std::abort();
    }
    return 0;
}
