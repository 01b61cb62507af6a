#include "notes/NotesText.h"

#include <gtest/gtest.h>

#include <string>

#include "text/TextEncoding.h"

namespace qen {
namespace {

// The page text as a browser shows it: numeric references and the three the page writes,
// read in one pass, and every other byte as the cp1252 letter it is. UTF-8 out.
std::string AsShown(const std::string& page) {
    std::string shown;
    for (std::size_t i = 0; i < page.size(); ++i) {
        const std::string_view rest = std::string_view(page).substr(i);
        if (const std::size_t length = CharacterReferenceLength(rest)) {
            AppendUtf8(shown, static_cast<std::uint32_t>(std::stoul(page.substr(i + 2, length - 3))));
            i += length - 1;
            continue;
        }
        bool named = false;
        for (const auto& [reference, letter] : {std::pair{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}}) {
            if (rest.starts_with(reference)) {
                shown += letter;
                i += std::string_view(reference).size() - 1;
                named = true;
                break;
            }
        }
        if (!named) shown += SystemTextToUtf8(rest.substr(0, 1), References::Keep);
    }
    return shown;
}

// A note's text goes from the edit box (UTF-8) into the store, onto the page and back into
// the edit box. Whatever the user typed must show and come back exactly so.
TEST(NoteText, WhatTheUserTypedComesBackExactly) {
    const std::string typed[] = {
        "Sit & stay",
        "&amp; is how pages write &",
        "write &#60;b&#62; not <b>",
        "hex &#x41; stays",
        "outside cp1252: \xCE\xA9, inside: \xE2\x82\xAC",
        "&#8364; typed by hand",
        "two\nlines",
    };
    for (const std::string& text : typed) {
        SCOPED_TRACE(text);
        const std::string stored = Utf8ToSystemText(text, Ampersands::Encode);
        EXPECT_EQ(SystemTextToUtf8(stored, References::Decode), text);
        std::string page = AsShown(EscapeNoteText(stored));
        std::string expected = text;
        for (std::size_t at; (at = expected.find('\n')) != std::string::npos;) expected.replace(at, 1, "<br>");
        EXPECT_EQ(page, expected);
    }
}

}  // namespace
}  // namespace qen
