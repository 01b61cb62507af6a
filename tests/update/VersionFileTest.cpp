#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "update/VersionFile.h"

namespace qen {
namespace {

using namespace std::string_literals;

TEST(ParseLeadingNumber, TakesTheDigitsUpToTheFirstOtherCharacter) {
    const struct {
        std::string text;
        VersionNumber expected;
    } cases[] = {
        {"", 0},
        {"2", 2},
        {"007", 7},
        {"12 beta", 12},
        {"0.9", 0},
        {"v2", 0},
        {" 2", 0},
        {"3\0" "9"s, 3},
        {"9223372036854775807", std::numeric_limits<VersionNumber>::max()},
        // A hostile file cannot wrap the number round to something small.
        {"99999999999999999999999", std::numeric_limits<VersionNumber>::max()},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseLeadingNumber(c.text), c.expected) << c.text;
}

TEST(ParseVersionFile, FirstLineCountsOnlyWhenALineBreakFollowsIt) {
    const struct {
        const char* name;
        std::string text;
        std::optional<VersionNumber> expected;
    } cases[] = {
        {"two lines", "2\r\nQen Runtime 2\r\n", 2},
        {"line feeds only", "3\nnotes", 3},
        {"carriage return only", "4\rnotes", 4},
        {"blanks around the number", "  5  \r\nnotes", 5},
        {"blank lines before it", "\r\n\r\n6\r\nnotes", 6},
        {"one is not parsed away", "1\r\nnotes", 1},
        {"a decimal reads as its whole part", "0.9\r\nnotes", 0},
        {"text first", "version 2\r\nnotes", 0},
        {"single line with its break", "2\r\n", std::nullopt},
        {"single line with trailing blank lines", "2\n\n \r\n", std::nullopt},
        {"single line without a break", "2", std::nullopt},
        {"empty", "", std::nullopt},
        {"white space only", " \r\n\t", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseVersionFile(c.text), c.expected) << c.name;
}

TEST(IsNotFoundPage, NeedsBothMarksBeforeTheFirstZeroByte) {
    const struct {
        std::string data;
        bool expected;
    } cases[] = {
        {"<html><h1>404 Not Found</h1></html>", true},
        {"Not Found (error 404)", true},
        {"404", false},
        {"Not Found", false},
        {"404 not found", false},
        {"404\0Not Found"s, false},
        {"\x7f" "ELF\0" "404 Not Found"s, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsNotFoundPage(c.data), c.expected) << c.data;
}

}  // namespace
}  // namespace qen
