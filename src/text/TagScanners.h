#pragma once
// Finds where a start tag ends, by the HTML tag syntax: a ">" inside a quoted attribute
// value does not end it, and names and unquoted values run up to a blank. Used to cut
// candidate tags out of untrusted text before a real parser looks at them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace qen {

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
