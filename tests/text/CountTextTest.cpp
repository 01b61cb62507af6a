#include <gtest/gtest.h>

#include "text/CountText.h"

namespace qen {
namespace {

TEST(CountText, TheWordAgreesWithTheNumber) {
    const struct {
        std::uintmax_t count;
        const char* one;
        const char* many;
        const char* text;
    } cases[] = {
        {0, "file", "files", "0 files"},
        {1, "file", "files", "1 file"},
        {2, "file", "files", "2 files"},
        {11, "file", "files", "11 files"},
        {21, "diary entry", "diary entries", "21 diary entries"},
        {1, "diary entry", "diary entries", "1 diary entry"},
        {UINTMAX_MAX, "byte", "bytes", "18446744073709551615 bytes"},
    };
    for (const auto& c : cases) EXPECT_EQ(CountText(c.count, c.one, c.many), c.text) << c.count;
}

}  // namespace
}  // namespace qen
