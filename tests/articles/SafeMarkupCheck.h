#pragma once
// An independent look at sanitised article markup: the whole text parsed as a browser
// would, then every element and attribute checked against the allow-list. Shared by the
// unit tests and the fuzz target.
#include <gumbo.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/LinkNames.h"

namespace qen::test {

// The launch address the checks and their sanitiser calls use.
inline constexpr const char* kCheckLaunchAddress = "http://launch.test/";

inline std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Whether an article's link may point at `value`: a web address that reaches neither the
// launch host nor a name the link commands answer to, or one of the page's own links.
inline bool IsAllowedArticleHref(const std::string& value, std::string_view articleId) {
    const std::string id(articleId);
    if (value == "savearticle_" + id + ".html" || value == "unsavearticle_" + id + ".html" ||
        value == "goback.html")
        return true;
    // Browsers drop tabs and line breaks anywhere in an address.
    std::string address;
    for (char c : value)
        if (c != '\t' && c != '\n' && c != '\r') address += c;
    const std::string lower = LowerAscii(address);
    if (lower.rfind("http://", 0) != 0 && lower.rfind("https://", 0) != 0) return false;
    std::string host = lower.substr(lower.find("//") + 2);
    host = host.substr(0, host.find_first_of("/?#\\"));
    if (const std::size_t at = host.rfind('@'); at != std::string::npos) host = host.substr(at + 1);
    host = host.substr(0, host.find(':'));
    if (host.find('%') != std::string::npos) return false;  // an escaped host may hide anything
    while (!host.empty() && host.back() == '.') host.pop_back();
    if (host == "launch.test") return false;
    const std::string path = address.substr(0, address.find_first_of("?#"));
    return !NamesLinkCommand(path.substr(path.find_last_of("/\\") + 1)) &&
           !NamesLinkCommand(address.substr(address.find_last_of("/\\") + 1));
}

// What is wrong with one element of an article's markup, or empty: an element or an
// attribute outside the allow-list, or a link that could act as a command.
inline std::string FindUnsafeElement(const GumboElement& element, std::string_view articleId) {
    const std::string name = gumbo_normalized_tagname(element.tag);
    const bool allowed = element.tag_namespace == GUMBO_NAMESPACE_HTML &&
                         (name == "a" || name == "b" || name == "br" || name == "div" || name == "em" ||
                          name == "i" || name == "p" || name == "strong" || name == "sub" || name == "sup" ||
                          name == "u");
    // The parser adds the document's own elements by itself.
    const bool implied = element.original_tag.length == 0 &&
                         (element.tag == GUMBO_TAG_HTML || element.tag == GUMBO_TAG_HEAD ||
                          element.tag == GUMBO_TAG_BODY);
    if (!allowed && !implied) return "element <" + (name.empty() ? std::string("unknown") : name) + ">";
    for (unsigned k = 0; k < element.attributes.length; ++k) {
        const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[k]);
        const std::string attributeName = attribute->name;
        const bool ok =
            (name == "a" && attributeName == "title") ||
            (name == "a" && attributeName == "href" && IsAllowedArticleHref(attribute->value, articleId)) ||
            ((name == "div" || name == "p") && (attributeName == "class" || attributeName == "align"));
        if (!ok) return "attribute " + attributeName + "=\"" + attribute->value + "\" on <" + name + ">";
    }
    return {};
}

// Calls `visit` for every node at or below `root`, until it gives a problem.
template <typename Visit>
std::string FindInTree(const GumboNode* root, Visit visit) {
    std::vector<const GumboNode*> pending{root};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        if (std::string problem = visit(*node); !problem.empty()) return problem;
        const GumboVector* children = nullptr;
        if (node->type == GUMBO_NODE_DOCUMENT) children = &node->v.document.children;
        if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) children = &node->v.element.children;
        if (children)
            for (unsigned k = 0; k < children->length; ++k)
                pending.push_back(static_cast<const GumboNode*>(children->data[k]));
    }
    return {};
}

// The first thing at or below `root` that could run script, leave the allow-list or act
// as a command, described; empty when there is none.
inline std::string FindUnsafeNode(const GumboNode* root, std::string_view articleId) {
    return FindInTree(root, [articleId](const GumboNode& node) -> std::string {
        if (node.type == GUMBO_NODE_COMMENT) return "a comment";
        if (node.type != GUMBO_NODE_ELEMENT && node.type != GUMBO_NODE_TEMPLATE) return {};
        return FindUnsafeElement(node.v.element, articleId);
    });
}

// The same for a whole text of sanitised markup.
inline std::string FindUnsafeMarkup(std::string_view html, std::string_view articleId) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, html.data(), html.size());
    const std::string problem = FindUnsafeNode(output->document, articleId);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return problem;
}

}  // namespace qen::test
