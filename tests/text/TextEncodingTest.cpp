#include "text/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace qen {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

struct ConversionCase {
    const char* name;
    std::string input;
    std::string expected;
};

TEST(Utf8ToAnsiWithReferences, ConvertsByLeadByte) {
    const ConversionCase cases[] = {
        {"ascii passes", "Hello, <b>world</b>", "Hello, <b>world</b>"},
        {"two bytes below 255 become one byte", "caf\xC3\xA9", "caf\xE9"},
        {"code point 254 stays a byte", "\xC3\xBE", "\xFE"},
        {"code point 255 is a reference", "\xC3\xBF", "&#255;"},
        {"code point 256 is a reference", "\xC4\x80", "&#256;"},
        {"euro sign", "\xE2\x82\xAC", "&#8364;"},
        {"four-byte emoji", "\xF0\x9F\x98\x80", "&#128512;"},
        {"stray continuation byte keeps its value", "a\x80" "b\xBF", "a\x80" "b\xBF"},
        {"continuation bytes are not checked", "\xC3" "A", "\xC1"},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", "&#2097152;"},
        {"six-byte lead, largest value", "\xFD\xBF\xBF\xBF\xBF\xBF", "&#2147483647;"},
        {"leads 0xFE and 0xFF keep their last bit, as six-byte leads do", "\xFE\x80\x80\x80\x80\x81" "\xFF\x80\x80\x80\x80\x82",
         "\x01&#1073741826;"},
        {"cut two-byte sequence reads zero bits", "x\xC3", "x\xC0"},
        {"cut three-byte sequence", "x\xE2\x82", "x&#8320;"},
        {"cut sequence whose value is zero ends the text", "x\xE0", "x"},
        {"zero byte ends the text", "ab\0cd"s, "ab"},
        {"overlong zero ends the text", "ab\xC0\x80" "cd", "ab"},
        {"zero swallowed as continuation does not end the text", "a\xC3\0b"s, "a\xC0" "b"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToAnsiWithReferences(c.input), c.expected) << c.name;
    }
}

TEST(Utf8ToAnsiWithReferences, NeverReadsPastTheInput) {
    // The view ends inside a sequence; the bytes behind it must not be taken as continuations.
    std::string backing = "ok\xE2\x82\xAC";
    EXPECT_EQ(Utf8ToAnsiWithReferences(std::string_view(backing).substr(0, 4)), "ok&#8320;");
}

// Plain ASCII is copied eight bytes at a time: whatever ends a run must be seen at every
// offset within those eight bytes, and in the bytes left over at the end.
TEST(Utf8Conversions, SeeWhatEndsAPlainRunAtEveryOffset) {
    struct Case {
        const char* name;
        std::string special;
        std::string asAnsi, asSystemText, asTypedText;
    };
    const Case cases[] = {
        {"accented letter", "\xC3\xA9", "\xE9", "\xE9", "\xE9"},
        {"euro sign", "\xE2\x82\xAC", "&#8364;", "\x80", "\x80"},
        {"emoji", "\xF0\x9F\x98\x80", "&#128512;", "&#128512;", "&#128512;"},
        {"ampersand", "&", "&", "&", "&#38;"},
        {"zero byte", "\0"s, "", "\0"s, "\0"s},
    };
    for (const Case& c : cases) {
        for (std::size_t before = 0; before <= 17; ++before) {
            const std::string head(before, 'a'), tail = "bcdefghijk";
            const std::string input = head + c.special + tail;
            const std::string why = std::string(c.name) + " after " + std::to_string(before) + " bytes";
            // A zero byte ends downloaded text; everywhere else the rest follows.
            EXPECT_EQ(Utf8ToAnsiWithReferences(input), head + c.asAnsi + (c.special == "\0"s ? "" : tail)) << why;
            EXPECT_EQ(Utf8ToSystemText(input, Ampersands::Keep), head + c.asSystemText + tail) << why;
            EXPECT_EQ(Utf8ToSystemText(input, Ampersands::Encode), head + c.asTypedText + tail) << why;
        }
    }
}

TEST(Utf8Conversions, TextThatGrowsManyTimesOverComesBackWhole) {
    std::string ys, yReferences, emoji, emojiReferences;
    for (int i = 0; i < 20000; ++i) {
        ys += "\xC3\xBF";
        yReferences += "&#255;";
        emoji += "\xF0\x9F\x98\x80";
        emojiReferences += "&#128512;";
    }
    EXPECT_EQ(Utf8ToAnsiWithReferences(ys), yReferences);
    EXPECT_EQ(Utf8ToSystemText(emoji, Ampersands::Keep), emojiReferences);
    EXPECT_EQ(Utf8ToSystemText(std::string(20000, '&'), Ampersands::Encode).size(), 5u * 20000);
}

TEST(DecodeDownloadedText, DecidesUtf8FromTheXmlDeclaration) {
    const std::string body = "<feed>caf\xC3\xA9 \xE2\x82\xAC</feed>";
    const std::string converted = "<feed>caf\xE9 &#8364;</feed>";
    struct Case {
        const char* name;
        std::string head;
        bool utf8;
    };
    const Case cases[] = {
        {"encoding attribute UTF-8", "<?xml version='1.0' encoding='UTF-8'?>", true},
        {"lower case utf-8", "<?xml version=\"1.0\" encoding=\"utf-8\"?>", true},
        {"Utf8 without dash", "<?xml encoding=\"Utf8\"?>", true},
        {"UTF8 without dash", "<?xml encoding=\"UTF8\"?>", true},
        {"other capitalisation does not count", "<?xml encoding=\"uTF-8\"?>", false},
        {"no encoding, utf-8 only in the body", "<?xml version=\"1.0\"?><!-- utf-8 -->", false},
        {"declaration never closed", "<?xml encoding=\"UTF-8\" ", false},
        {"blank before the declaration", " <?xml encoding=\"UTF-8\"?>", false},
        {"byte-order mark before the declaration", "\xEF\xBB\xBF<?xml encoding=\"UTF-8\"?>", false},
        {"declaration name is case-sensitive", "<?XML encoding=\"UTF-8\"?>", false},
        {"other encoding", "<?xml encoding=\"ISO-8859-1\"?>", false},
        {"not xml at all", "caf\xC3\xA9", false},
    };
    for (const auto& c : cases) {
        std::string data = c.head + body;
        std::string expected = c.utf8 ? Utf8ToAnsiWithReferences(c.head) + converted : data;
        EXPECT_EQ(DecodeDownloadedText(data), expected) << c.name;
    }
}

TEST(DecodeDownloadedText, SpellingCountsOnlyWhereItFirstOccurs) {
    // "utf-8" first appears after the declaration, so its later copy inside does not help.
    const std::string data = "<?xml a=\"1\"?><x>utf-8</x><?xml encoding=\"utf-8\"?>\xC3\xA9";
    EXPECT_EQ(DecodeDownloadedText(data), data);
    // A later spelling that does sit inside the declaration still counts.
    EXPECT_EQ(DecodeDownloadedText("<?xml encoding=\"UTF-8\"?><x>utf-8 \xC3\xA9</x>"),
              "<?xml encoding=\"UTF-8\"?><x>utf-8 \xE9</x>");
}

TEST(DecodeDownloadedText, DeclarationTestStopsAtTheFirstZeroByte) {
    // The declaration closes only behind a zero byte: not UTF-8, and the text ends at the zero.
    EXPECT_EQ(DecodeDownloadedText("<?xml encoding=\"UTF-8\"\0?>\xC3\xA9"s), "<?xml encoding=\"UTF-8\"");
    // Converted data also ends at its first zero byte.
    EXPECT_EQ(DecodeDownloadedText("<?xml encoding=\"UTF-8\"?>a\0b"s), "<?xml encoding=\"UTF-8\"?>a");
}

std::string Utf16Le(std::u16string_view units) {
    std::string out;
    for (char16_t u : units) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

std::string Utf16Be(std::u16string_view units) {
    std::string out;
    for (char16_t u : units) {
        out += static_cast<char>(u >> 8);
        out += static_cast<char>(u & 0xFF);
    }
    return out;
}

TEST(ConvertMarkedText, ConvertsByByteOrderMark) {
    const ConversionCase cases[] = {
        {"UTF-16 LE", Utf16Le(u"\uFEFFA\u00E9\u20AC"), "A\xE9&#8364;"},
        {"UTF-16 BE", Utf16Be(u"\uFEFFA\u00E9\u20AC"), "A\xE9&#8364;"},
        {"unit 255 stays a byte", Utf16Le(u"\uFEFF\u00FF\u0100"), "\xFF&#256;"},
        {"unit 0 is skipped", Utf16Le(u"\uFEFFa\0b"sv), "ab"},
        {"a surrogate pair is one character", Utf16Le(u"\uFEFF\U0001F600"), "&#128512;"},
        {"odd last byte ignored (LE)", Utf16Le(u"\uFEFFAB") + "C", "AB"},
        {"odd last byte ignored (BE)", Utf16Be(u"\uFEFFAB") + "C", "AB"},
        {"mark only", Utf16Le(u"\uFEFF"), ""},
        {"UTF-8 mark", "\xEF\xBB\xBF" "caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 &#8364;"},
        {"UTF-8 mark converts 255 to a reference", "\xEF\xBB\xBF\xC3\xBF", "&#255;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConvertMarkedText(c.input), c.expected) << c.name;
    }
}

TEST(ConvertMarkedText, TextWithoutMarkComesBackUnchanged) {
    const std::string unchanged[] = {
        "",
        "\xFF",
        "\xFE",
        "\xEF\xBB",
        "plain caf\xC3\xA9 with\0zero"s,
        "\xBB\xEF\xBF not a mark",
    };
    for (const auto& image : unchanged) {
        EXPECT_EQ(ConvertMarkedText(image), image);
    }
}

}  // namespace
}  // namespace qen

namespace qen {
namespace {

TEST(ToolkitBoundary, SystemTextAndUnicodeMeetByTheCp1252Table) {
    struct Case {
        const char* why;
        std::string system, utf8;
    };
    const Case cases[] = {
        {"ascii", "Dogs & cats", "Dogs & cats"},
        {"latin letters", "J\xFCrgen", "J\xC3\xBC" "rgen"},
        {"the bytes cp1252 gives other letters", "\x80\x8A\x9F", "\xE2\x82\xAC\xC5\xA0\xC5\xB8"},
        {"unassigned bytes keep their value", "\x81\x9D", "\xC2\x81\xC2\x9D"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SystemTextToUtf8(c.system, References::Keep), c.utf8) << c.why;
        EXPECT_EQ(Utf8ToSystemText(c.utf8, Ampersands::Keep), c.system) << c.why;
    }
    EXPECT_EQ(Utf8ToSystemText("\xE4\xB8\xAD\xF0\x9F\x98\x80", Ampersands::Keep), "&#20013;&#128512;");
    EXPECT_EQ(SystemTextToUtf8("&#20013;&#8364;", References::Keep), "&#20013;&#8364;");
    EXPECT_EQ(SystemTextToUtf8("&#20013;&#8364;", References::Decode), "\xE4\xB8\xAD\xE2\x82\xAC");
    // Only what could be a character is decoded.
    EXPECT_EQ(SystemTextToUtf8("&#0;&#55357;&#99999999;&#x41;&#;", References::Decode),
              "&#0;&#55357;&#99999999;&#x41;&#;");
}

}  // namespace
}  // namespace qen
