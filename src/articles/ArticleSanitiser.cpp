#include "articles/ArticleSanitiser.h"

#include <gumbo.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "articles/ArticleLinks.h"
#include "text/TagScanners.h"

namespace qen {

namespace {

// More than any allowed tag needs; also keeps the parser's check for repeated
// attribute names, which compares every pair, cheap.
constexpr std::size_t kMaxAttributes = 16;

struct AllowedElement {
    std::string_view name;  // lower case
    GumboTag tag;
    bool isVoid;
};

constexpr std::array kAllowedElements = {
    AllowedElement{"a", GUMBO_TAG_A, false},           AllowedElement{"b", GUMBO_TAG_B, false},
    AllowedElement{"br", GUMBO_TAG_BR, true},          AllowedElement{"div", GUMBO_TAG_DIV, false},
    AllowedElement{"em", GUMBO_TAG_EM, false},         AllowedElement{"i", GUMBO_TAG_I, false},
    AllowedElement{"p", GUMBO_TAG_P, false},           AllowedElement{"strong", GUMBO_TAG_STRONG, false},
    AllowedElement{"sub", GUMBO_TAG_SUB, false},       AllowedElement{"sup", GUMBO_TAG_SUP, false},
    AllowedElement{"u", GUMBO_TAG_U, false},
};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

// The allowed element whose name stands at `at`, followed by a blank, "/" or ">".
const AllowedElement* AllowedElementAt(std::string_view text, std::size_t at) {
    for (const AllowedElement& element : kAllowedElements) {
        const std::size_t after = at + element.name.size();
        if (after >= text.size()) continue;
        const char next = text[after];
        if (!TagScanner::IsBlank(next) && next != '/' && next != '>') continue;
        if (EqualsIgnoringCase(text.substr(at, element.name.size()), element.name)) return &element;
    }
    return nullptr;
}

class LinkRules {
public:
    LinkRules(std::string_view articleId, std::string_view launchAddress) : links_(articleId, launchAddress) {}

    // `value` as the browser reads it: references decoded.
    bool Allows(GumboTag tag, std::string_view name, std::string_view value) const {
        switch (tag) {
            case GUMBO_TAG_A:
                return name == "title" || (name == "href" && links_.Allows(value));
            case GUMBO_TAG_DIV:
            case GUMBO_TAG_P:
                return name == "class" || name == "align";
            default:
                return false;
        }
    }

private:
    ArticleLinkRule links_;
};

// A tag of an allowed name, as found in the text. Kept small: a hostile text holds
// hundreds of thousands of them.
struct FoundTag {
    std::uint32_t begin;
    std::uint32_t end;
    std::uint32_t batchOffset;  // start tags with attributes: where the parser saw it
    std::uint8_t element;       // index into kAllowedElements
    std::uint8_t attributes;    // start tags; at most kMaxAttributes
    bool isEnd;

    const AllowedElement& Element() const { return kAllowedElements[element]; }
    bool NeedsParser() const { return !isEnd && attributes > 0; }
};

std::vector<FoundTag> FindAllowedTags(std::string_view html) {
    const TagScanner scanner(html);
    std::vector<FoundTag> tags;
    for (std::size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at)) {
        const bool isEnd = at + 1 < html.size() && html[at + 1] == '/';
        const std::size_t nameAt = at + (isEnd ? 2 : 1);
        const AllowedElement* element = AllowedElementAt(html, nameAt);
        std::optional<std::size_t> end;
        std::size_t attributes = 0;
        if (element && isEnd) {
            end = scanner.ScanEndTag(nameAt + element->name.size());
        } else if (element) {
            if (auto tag = scanner.ScanStartTag(at, element->name.size(), kMaxAttributes)) {
                end = tag->end;
                attributes = tag->attributes;
            }
        }
        if (!end) {
            ++at;  // written as text; a tag may still begin inside it
            continue;
        }
        tags.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(*end), 0,
                        static_cast<std::uint8_t>(element - kAllowedElements.data()),
                        static_cast<std::uint8_t>(attributes), isEnd});
        at = *end;
    }
    return tags;
}

struct GumboOutputDeleter {
    void operator()(GumboOutput* output) const { gumbo_destroy_output(&kGumboDefaultOptions, output); }
};
using ParsedBatch = std::unique_ptr<GumboOutput, GumboOutputDeleter>;

// The start tags with attributes are parsed together, each closed at once so that the
// tree stays flat: parsing the whole text would cost time in the square of its nesting
// depth. A tag without attributes needs no parser to be read.
std::string BuildBatch(std::string_view html, std::vector<FoundTag>& tags) {
    std::string batch;
    for (FoundTag& tag : tags) {
        if (!tag.NeedsParser()) continue;
        tag.batchOffset = static_cast<std::uint32_t>(batch.size());
        batch.append(html.substr(tag.begin, tag.end - tag.begin));
        if (!tag.Element().isVoid) batch.append("</").append(tag.Element().name).append(">");
    }
    return batch;
}

// Every element the parser made from a tag of the batch, by the offset of its tag.
std::vector<std::pair<std::size_t, const GumboElement*>> ElementsByOffset(const GumboOutput& output,
                                                                          std::string_view batch) {
    std::vector<std::pair<std::size_t, const GumboElement*>> found;
    std::vector<const GumboNode*> pending{output.document};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        const GumboVector* children = nullptr;
        if (node->type == GUMBO_NODE_DOCUMENT) children = &node->v.document.children;
        if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
            const GumboElement& element = node->v.element;
            children = &element.children;
            const GumboStringPiece& tag = element.original_tag;
            if (element.tag_namespace == GUMBO_NAMESPACE_HTML && tag.length > 0 && tag.data >= batch.data() &&
                tag.data + tag.length <= batch.data() + batch.size())
                found.emplace_back(static_cast<std::size_t>(tag.data - batch.data()), &element);
        }
        if (children)
            for (unsigned k = 0; k < children->length; ++k)
                pending.push_back(static_cast<const GumboNode*>(children->data[k]));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return found;
}

bool PointsInto(const GumboStringPiece& piece, std::string_view batch) {
    return piece.length == 0 ||
           (piece.data >= batch.data() && piece.data + piece.length <= batch.data() + batch.size());
}

void AppendAsText(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else
            out += c;
    }
}

class StartTagWriter {
public:
    StartTagWriter(std::string_view html, std::string_view batch, const GumboOutput& output, const LinkRules& rules)
        : html_(html), batch_(batch), elements_(ElementsByOffset(output, batch)), rules_(rules) {}

    void Write(std::string& out, const FoundTag& tag) const {
        const std::string_view original = html_.substr(tag.begin, tag.end - tag.begin);
        const GumboElement* element = ElementOf(tag, original.size());
        if (!element) {
            // The parser read it otherwise: not a tag to trust.
            AppendAsText(out, original);
            return;
        }
        std::vector<const GumboAttribute*> allowed;
        const GumboVector& attributes = element->attributes;
        for (unsigned k = 0; k < attributes.length; ++k) {
            const auto* attribute = static_cast<const GumboAttribute*>(attributes.data[k]);
            if (rules_.Allows(element->tag, attribute->name, attribute->value) &&
                PointsInto(attribute->original_name, batch_) && PointsInto(attribute->original_value, batch_))
                allowed.push_back(attribute);
        }
        if (allowed.size() == attributes.length) {
            out.append(original);
            return;
        }
        out.append("<").append(original.substr(1, tag.Element().name.size()));
        for (const GumboAttribute* attribute : allowed) {
            out.append(" ").append(attribute->original_name.data, attribute->original_name.length);
            if (attribute->original_value.length > 0)
                out.append("=").append(attribute->original_value.data, attribute->original_value.length);
        }
        out.append(">");
    }

private:
    const GumboElement* ElementOf(const FoundTag& tag, std::size_t length) const {
        auto at = std::lower_bound(elements_.begin(), elements_.end(), tag.batchOffset,
                                   [](const auto& entry, std::size_t offset) { return entry.first < offset; });
        if (at == elements_.end() || at->first != tag.batchOffset) return nullptr;
        const GumboElement* element = at->second;
        if (element->original_tag.length != length || element->tag != tag.Element().tag) return nullptr;
        return element;
    }

    std::string_view html_;
    std::string_view batch_;
    std::vector<std::pair<std::size_t, const GumboElement*>> elements_;
    const LinkRules& rules_;
};

}  // namespace

std::string SanitizeArticleHtml(std::string_view html, std::string_view articleId, std::string_view launchAddress) {
    // Positions are 32-bit; the texts come from a download buffer of 4 MB.
    if (html.size() >= UINT32_MAX) {
        std::string out;
        AppendAsText(out, html);
        return out;
    }
    std::vector<FoundTag> tags = FindAllowedTags(html);
    const std::string batch = BuildBatch(html, tags);
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;  // errors are not wanted, and recording them costs time
    const ParsedBatch parsed(gumbo_parse_with_options(&options, batch.data(), batch.size()));
    const LinkRules rules(articleId, launchAddress);
    const StartTagWriter startTags(html, batch, *parsed, rules);

    std::string out;
    out.reserve(html.size() + html.size() / 8);
    std::size_t written = 0;
    for (const FoundTag& tag : tags) {
        AppendAsText(out, html.substr(written, tag.begin - written));
        if (!tag.NeedsParser())
            out.append(html.substr(tag.begin, tag.end - tag.begin));
        else
            startTags.Write(out, tag);
        written = tag.end;
    }
    AppendAsText(out, html.substr(written));
    return out;
}

}  // namespace qen
