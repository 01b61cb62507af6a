#include "text/TagScanners.h"

#include <algorithm>
#include <string>

namespace qen {

namespace {

// A byte that ends a tag name: a control character or blank, and (compared as a signed
// character, as the feed scanner always has) every byte from 0x80 up.
bool EndsTagName(char c) {
    return static_cast<signed char>(c) <= 32 || c == '>';
}

constexpr std::size_t npos = std::string_view::npos;

// Appended piece by piece: GCC 12 misreads "<" + std::string(tag) in optimised builds.
std::string Joined(std::string_view before, std::string_view tag, std::string_view after) {
    std::string text;
    text.reserve(before.size() + tag.size() + after.size());
    text.append(before).append(tag).append(after);
    return text;
}

}  // namespace

std::string_view ExtractTagContent(std::string_view text, std::string_view tag, std::size_t& position) {
    const std::string startTag = Joined("<", tag, "");
    const std::string endTag = Joined("</", tag, ">");
    std::size_t from = position;
    while (from < text.size()) {
        const std::size_t open = text.find(startTag, from);
        if (open == npos) return {};
        const std::size_t afterName = open + startTag.size();
        if (afterName >= text.size()) return {};

        // Bytes from 128 up count as white space, as control characters do.
        const auto next = static_cast<unsigned char>(text[afterName]);
        std::size_t startTagEnd = afterName;
        if (next != '>') {
            if (next >= '!' && next < 128) {
                from = afterName;  // a longer name: look further on
                continue;
            }
            startTagEnd = text.find('>', afterName);
            if (startTagEnd == npos) return {};
        }

        const std::size_t contentStart = startTagEnd + 1;
        const std::size_t close = text.find(endTag, contentStart);
        if (close == npos) return {};
        position = close + endTag.size();
        return text.substr(contentStart, close - contentStart);
    }
    return {};
}

// Every lookup is a binary search over the positions of the few characters that change
// the scanner's state, so scanning from each "<" of a text never walks a long name or
// value twice.
TagScanner::TagScanner(std::string_view text) : text_(text) {
    auto addTo = [](Runs& runs, Position at, bool inClass) {
        if (!inClass) return;
        if (!runs.ends.empty() && runs.ends.back() == at) {
            runs.ends.back() = at + 1;
        } else {
            runs.starts.push_back(at);
            runs.ends.push_back(at + 1);
        }
    };
    for (Position at = 0; at < text.size(); ++at) {
        const char c = text[at];
        addTo(blanks_, at, IsBlank(c));
        addTo(blanksAndSlashes_, at, IsBlank(c) || c == '/');
        if (IsBlank(c) || c == '/' || c == '>' || c == '=') nameEnds_.push_back(at);
        if (IsBlank(c) || c == '>') valueEnds_.push_back(at);
        if (c == '"') doubleQuotes_.push_back(at);
        if (c == '\'') singleQuotes_.push_back(at);
    }
}

std::size_t TagScanner::Runs::SkipFrom(std::size_t from) const {
    auto after = std::upper_bound(starts.begin(), starts.end(), from);
    if (after == starts.begin()) return from;
    const std::size_t run = static_cast<std::size_t>(after - starts.begin()) - 1;
    return ends[run] > from ? ends[run] : from;
}

std::size_t TagScanner::NextOf(const std::vector<Position>& positions, std::size_t from) {
    auto next = std::lower_bound(positions.begin(), positions.end(), from);
    return next == positions.end() ? npos : *next;
}

std::optional<TagScanner::StartTag> TagScanner::ScanStartTag(std::size_t at, std::size_t nameLength,
                                                             std::size_t maxAttributes) const {
    const std::size_t size = text_.size();
    std::size_t pos = at + 1 + nameLength;
    std::size_t attributes = 0;
    for (;;) {
        // Before an attribute name: blanks and "/" are passed over; "/" just before ">"
        // only marks the tag as self-closing.
        pos = blanksAndSlashes_.SkipFrom(pos);
        if (pos >= size) return std::nullopt;
        if (text_[pos] == '>') return StartTag{pos + 1, attributes};
        if (++attributes > maxAttributes) return std::nullopt;
        // The name's first character may be anything else, "=" and quotes included.
        pos = NextOf(nameEnds_, pos + 1);
        if (pos == npos) return std::nullopt;
        pos = blanks_.SkipFrom(pos);
        if (pos >= size) return std::nullopt;
        if (text_[pos] == '>') return StartTag{pos + 1, attributes};
        if (text_[pos] != '=') continue;  // "/" or the next attribute's name

        pos = blanks_.SkipFrom(pos + 1);
        if (pos >= size) return std::nullopt;
        const char first = text_[pos];
        if (first == '>') return StartTag{pos + 1, attributes};
        if (first == '"' || first == '\'') {
            const std::size_t close = NextOf(first == '"' ? doubleQuotes_ : singleQuotes_, pos + 1);
            if (close == npos) return std::nullopt;
            pos = close + 1;
            continue;
        }
        // An unquoted value runs up to a blank or ">".
        pos = NextOf(valueEnds_, pos);
        if (pos == npos) return std::nullopt;
        if (text_[pos] == '>') return StartTag{pos + 1, attributes};
    }
}

std::optional<std::size_t> TagScanner::ScanEndTag(std::size_t nameEnd) const {
    const std::size_t pos = blanks_.SkipFrom(nameEnd);
    if (pos >= text_.size() || text_[pos] != '>') return std::nullopt;
    return pos + 1;
}

std::string ExtractTag(std::string_view text, std::string_view name, std::size_t& position) {
    const std::string open = Joined("<", name, "");
    const std::string close = Joined("</", name, ">");
    std::size_t start = position;
    for (;;) {
        const std::size_t found = text.find(open, start);
        if (found == std::string_view::npos) return {};
        const std::size_t after = found + open.size();
        // "<item" must not take "<items".
        if (after < text.size() && !EndsTagName(text[after])) {
            start = after;
            continue;
        }
        const std::size_t content = after + 1;
        if (content > text.size()) return {};
        const std::size_t end = text.find(close, content);
        if (end == std::string_view::npos) return {};
        position = end + close.size();
        return std::string(text.substr(content, end - content));
    }
}

}  // namespace qen
