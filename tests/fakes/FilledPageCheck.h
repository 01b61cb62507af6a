#pragma once
// A page template with its placeholders in text and the page title also in attributes
// quoted either way, and a look at a page filled from it as a browser parses it: every
// element the template made is there once with the attributes it was given, the title
// holds text only, and every other element passes the page writer's own rule. Shared by
// the page writers' tests and the article fuzz target.
#include <gumbo.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qen::test {

inline constexpr const char* kCheckTemplate =
    "<html><head><title>%%pagetitle%%</title></head><body>"
    "<div id='left' title='%%pagetitle%%'>%%toplefttext%%</div>"
    "<div id=\"right\" title=\"%%pagetitle%%\">%%toprighttext%%</div>"
    "<div id='posts'>%%videoposts%%</div>"
    "<div id='nav'>%%previousnext%%</div>"
    "<div id='end'></div></body></html>";

inline std::string AttributeNames(const GumboElement& element) {
    std::string names;
    for (unsigned k = 0; k < element.attributes.length; ++k)
        names.append(static_cast<const GumboAttribute*>(element.attributes.data[k])->name).append(" ");
    return names;
}

inline const char* IdOf(const GumboElement& element) {
    const GumboAttribute* id = gumbo_get_attribute(&element.attributes, "id");
    return id ? id->value : nullptr;
}

// The first fault of `page`, filled from kCheckTemplate, described; empty when there is
// none. `rule` judges every element the template did not make (empty: allowed).
template <typename Rule>
std::string FindFillingFault(std::string_view page, Rule rule) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
    const std::set<std::string> templateIds = {"left", "right", "posts", "nav", "end"};
    std::multiset<std::string> seen;
    int titles = 0;
    std::string problem;
    std::vector<const GumboNode*> pending{output->root};
    while (!pending.empty() && problem.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) continue;
        const GumboElement& element = node->v.element;
        const char* id = IdOf(element);
        if (element.tag == GUMBO_TAG_HTML || element.tag == GUMBO_TAG_HEAD || element.tag == GUMBO_TAG_BODY) {
            if (element.attributes.length != 0) problem = "attributes on the document's own elements";
        } else if (element.tag == GUMBO_TAG_TITLE) {
            ++titles;
            for (unsigned k = 0; k < element.children.length; ++k)
                if (static_cast<const GumboNode*>(element.children.data[k])->type != GUMBO_NODE_TEXT)
                    problem = "the page title holds more than text";
        } else if (id && templateIds.count(id) && element.tag == GUMBO_TAG_DIV) {
            seen.insert(id);
            const std::string expected =
                std::string(id) == "left" || std::string(id) == "right" ? "id title " : "id ";
            if (AttributeNames(element) != expected)
                problem = "the template's <div id=" + std::string(id) + "> has the attributes " +
                          AttributeNames(element);
        } else {
            problem = rule(element);
        }
        for (unsigned k = 0; k < element.children.length; ++k)
            pending.push_back(static_cast<const GumboNode*>(element.children.data[k]));
    }
    if (problem.empty() && titles != 1) problem = std::to_string(titles) + " page titles";
    for (const std::string& id : templateIds)
        if (problem.empty() && seen.count(id) != 1)
            problem = "the template's <div id=" + id + "> is there " + std::to_string(seen.count(id)) + " times";
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return problem;
}

}  // namespace qen::test
