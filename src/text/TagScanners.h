#pragma once
// Finding tags in text from outside, by one of three rules for three kinds of text.
//
// The feed rule (ExtractTagContent): a video feed is searched as plain text, never parsed.
// A start tag is "<" + name followed by ">" or by anything that is not a visible ASCII
// character (blanks, control characters, bytes from 128 up), and it ends at the next ">",
// quoted or not; a longer name is another element. The content runs to the first end tag
// of exactly that spelling, so nesting is not followed. Every search moves forward only,
// so a feed is read in time proportional to its size, however broken.
//
// The item rule (ExtractTag): an article feed is searched as plain text too, but the start
// tag is not looked at: the content begins one character behind "<" + name, so a start
// tag's attributes and its ">" belong to the content. A name ends at ">" or at any byte up
// to a blank, or from 128 up; a longer name is another element.
//
// The markup rule (TagScanner): an article page follows the HTML tag syntax. A ">" inside
// a quoted attribute value does not end a start tag, and names and unquoted values run up
// to a blank. Used to cut candidate tags out of untrusted text before a real parser looks
// at them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qen {

// The content of the next element named `tag` at or after `position`, by the feed rule.
// On success `position` moves just past the end tag. The empty text when there is no such
// complete element.
std::string_view ExtractTagContent(std::string_view text, std::string_view tag, std::size_t& position);

// The content of the next element `name` at or after `position` by the item rule, or the
// empty text. On success `position` moves just behind the element's closing tag.
std::string ExtractTag(std::string_view text, std::string_view name, std::size_t& position);

// Where start and end tags end, by the markup rule.

class TagScanner {
public:
    // The text is shorter than 4 GiB.
    explicit TagScanner(std::string_view text);

    struct StartTag {
        std::size_t end;          // one past its ">"
        std::size_t attributes;   // attribute names met, repeated ones included
    };

    // The start tag whose "<" is at `at` and whose name of `nameLength` characters is
    // followed by a blank, "/" or ">". Nothing when the text ends inside the tag or it
    // has more than `maxAttributes` attributes.
    std::optional<StartTag> ScanStartTag(std::size_t at, std::size_t nameLength, std::size_t maxAttributes) const;

    // One past the ">" of an end tag "</name" + blanks + ">", whose name ends at `nameEnd`.
    std::optional<std::size_t> ScanEndTag(std::size_t nameEnd) const;

    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

private:
    using Position = std::uint32_t;
    // Runs of characters of one class, as [start, end) pairs in text order.
    struct Runs {
        std::vector<Position> starts;
        std::vector<Position> ends;
        std::size_t SkipFrom(std::size_t from) const;  // first position not in a run
    };
    static std::size_t NextOf(const std::vector<Position>& positions, std::size_t from);

    std::string_view text_;
    Runs blanks_;
    Runs blanksAndSlashes_;
    std::vector<Position> nameEnds_;   // blank, "/", ">" or "=": where an attribute name ends
    std::vector<Position> valueEnds_;  // blank or ">": where an unquoted value ends
    std::vector<Position> doubleQuotes_;
    std::vector<Position> singleQuotes_;
};

}  // namespace qen
