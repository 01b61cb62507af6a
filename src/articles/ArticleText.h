#pragma once
// The full text of one article, cut out of the "<textarea>" of the article directory's
// publisher page for it.
#include <string>
#include <string_view>

#include "web/SiteLabels.h"

namespace qen {

class Fetcher;
class Ui;

// "http://" + site host + "/ezinepublisher/?id=" + id.
std::string ArticlePageAddress(const std::string& siteHost, const std::string& id);

enum class ArticlePageFault { None, Empty, NoTextarea, NoClosingTextarea };

struct ArticlePageText {
    ArticlePageFault fault = ArticlePageFault::None;
    std::string text;  // trimmed; empty after a fault
};

// The text between "<textarea...>" and "</textarea", as it stands (no entity decoding).
ArticlePageText ExtractArticleText(std::string_view page);

// The message a fault shows.
std::string ArticlePageFaultMessage(ArticlePageFault fault);

// Fetches the article page and gives its text; after a fault shows its message (stop
// icon) and gives the empty text.
std::string FetchArticleText(Ui& ui, Fetcher& fetcher, const std::string& siteHost, const std::string& id);

}  // namespace qen
