#pragma once
// An independent look at sanitised article markup: the whole text parsed as a browser
// would, then every element and attribute checked against the allow-list. Shared by the
// unit tests and the fuzz target.
#include <gumbo.h>

#include <string>
#include <string_view>
#include <vector>

namespace qen::test {

// The first thing in `html` that could run script or leave the allow-list, described;
// empty when there is none.
inline std::string FindUnsafeMarkup(std::string_view html, std::string_view articleId) {
    const std::string id(articleId);
    auto lower = [](std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return text;
    };
    auto allowedHref = [&](const std::string& value) {
        const std::string start = lower(value.substr(0, 8));
        return start.rfind("http://", 0) == 0 || start.rfind("https://", 0) == 0 ||
               value == "savearticle_" + id + ".html" || value == "unsavearticle_" + id + ".html" ||
               value == "goback.html";
    };

    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, html.data(), html.size());
    std::string problem;
    std::vector<const GumboNode*> pending{output->document};
    while (!pending.empty() && problem.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        if (node->type == GUMBO_NODE_COMMENT) problem = "a comment";
        if (node->type == GUMBO_NODE_DOCUMENT)
            for (unsigned k = 0; k < node->v.document.children.length; ++k)
                pending.push_back(static_cast<const GumboNode*>(node->v.document.children.data[k]));
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) continue;

        const GumboElement& element = node->v.element;
        const std::string name = gumbo_normalized_tagname(element.tag);
        const bool allowed = element.tag_namespace == GUMBO_NAMESPACE_HTML &&
                             (name == "a" || name == "b" || name == "br" || name == "div" || name == "em" ||
                              name == "i" || name == "p" || name == "strong" || name == "sub" || name == "sup" ||
                              name == "u");
        // The parser adds the document's own elements by itself.
        const bool implied = element.original_tag.length == 0 &&
                             (element.tag == GUMBO_TAG_HTML || element.tag == GUMBO_TAG_HEAD ||
                              element.tag == GUMBO_TAG_BODY);
        if (!allowed && !implied) problem = "element <" + (name.empty() ? std::string("unknown") : name) + ">";
        for (unsigned k = 0; k < element.attributes.length && problem.empty(); ++k) {
            const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[k]);
            const std::string attributeName = attribute->name;
            const bool ok = (name == "a" && attributeName == "title") ||
                            (name == "a" && attributeName == "href" && allowedHref(attribute->value)) ||
                            ((name == "div" || name == "p") && (attributeName == "class" || attributeName == "align"));
            if (!ok) problem = "attribute " + attributeName + "=\"" + attribute->value + "\" on <" + name + ">";
        }
        for (unsigned k = 0; k < element.children.length; ++k)
            pending.push_back(static_cast<const GumboNode*>(element.children.data[k]));
    }
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return problem;
}

}  // namespace qen::test
