#include "text/TextOps.h"

#include <gtest/gtest.h>

namespace qen {
namespace {

TEST(TitleCase, WordStartsAndTheThreeAcronyms) {
    const std::pair<std::string, std::string> cases[] = {
        {"dog training", "Dog Training"}, {"a_b+c-d", "A B C D"}, {"html", "HTML"}, {"ppc", "PPC"},
        {"seo", "SEO"},  {"seo html", "Seo Html"},  {"9lives x", "9lives X"}, {"", ""},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(TitleCase(in), want) << in;
}

TEST(ExtractBody, BodyTagsInTheTwoRecognisedSpellings) {
    const std::pair<std::string, std::string> cases[] = {
        {"<html><body>inside</body></html>", "inside"},
        {"<HTML><BODY bgcolor=white>IN</BODY></HTML>", "IN"},
        {"<head>h</head><Body>mixed</Body>", "<head>h</head><Body>mixed</Body>"},
        {"<body class=\"a\">open to the end", "open to the end"},
        {"no tags </body> after", "no tags "},
        {"<body never closed", "<body never closed"},
        {"", ""},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(ExtractBody(in), want) << in;
}

}  // namespace
}  // namespace qen
