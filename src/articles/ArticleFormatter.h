#pragma once
// Turns an article's raw text into the HTML body of the current-article page: the first
// line is the title, addresses become links, the source line becomes the footer links and
// line breaks become paragraph or line breaks.
#include <string>
#include <string_view>

namespace qen {

struct FormattedArticle {
    std::string body;   // HTML; markup that came with the text is still in it
    std::string title;  // the first line, trimmed; raw text
    bool operator==(const FormattedArticle&) const = default;
};

// `saved` chooses the footer's link: unsave for a saved article, save otherwise.
// A text without a line break has no title line: the title is empty and the whole text
// is the body.
FormattedArticle FormatArticleHtml(std::string_view raw, std::string_view id, bool saved);

// Each "http://" address in the text, up to a blank, control character, "<" or ",",
// becomes <a href="A">A</a>. Left alone: an address right behind "[" (bracketed link
// markup) and one inside a tag (after a "<" with no ">" since), such as the href of a
// link that came with the text.
std::string LinkBareAddresses(std::string text);

}  // namespace qen
