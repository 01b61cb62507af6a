#include "web/DownloadBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qen {
namespace {

using AddResult = DownloadBuffer::AddResult;

struct CutCase {
    const char* name;
    std::vector<std::size_t> pieces;
    std::size_t kept;
    AddResult last;
};

TEST(DownloadBuffer, CutsAtTheLimitAndKeepsAtMostFourMillionBytes) {
    const CutCase cases[] = {
        {"one byte short of the cut goes on", {3'999'995}, 3'999'995, AddResult::Taken},
        {"reaching the cut exactly ends it", {3'999'995, 1}, 3'999'996, AddResult::Full},
        {"a piece crossing the cut fills the room and no more", {3'999'995, 10}, 4'000'000, AddResult::Full},
        {"one piece larger than the buffer", {5'000'000}, 4'000'000, AddResult::Full},
        {"pieces of a million", {1'000'000, 1'000'000, 1'000'000, 1'000'000}, 4'000'000, AddResult::Full},
    };
    DownloadBuffer buffer;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto tag = buffer.Begin();
        std::string sent;
        AddResult last = AddResult::Taken;
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            const std::string piece(c.pieces[i], static_cast<char>('a' + i));
            last = buffer.Add(tag, piece.data(), piece.size());
            sent += piece;
        }
        EXPECT_EQ(last, c.last);
        ASSERT_EQ(buffer.Finish(tag, true), c.kept);
        ASSERT_EQ(buffer.Received().size(), c.kept);
        EXPECT_TRUE(buffer.Received() == std::string_view(sent).substr(0, c.kept));
        EXPECT_EQ(buffer.Received().data()[c.kept], '\0');
    }
}

TEST(DownloadBuffer, ZeroByteStandsBehindTheDataOfEachTransfer) {
    DownloadBuffer buffer;
    auto tag = buffer.Begin();
    buffer.Add(tag, "ABCDEFGHIJ", 10);
    ASSERT_EQ(buffer.Finish(tag, true), 10u);

    tag = buffer.Begin();
    buffer.Add(tag, "xy", 2);
    ASSERT_EQ(buffer.Finish(tag, true), 2u);
    EXPECT_EQ(std::string(buffer.Received().data()), "xy");  // read as text, nothing of the longer one

    tag = buffer.Begin();
    buffer.Add(tag, "partial", 7);
    ASSERT_EQ(buffer.Finish(tag, false), 0u);  // a broken transfer keeps nothing
    EXPECT_EQ(std::string(buffer.Received().data()), "");
}

TEST(DownloadBuffer, OnlyTheTransferBegunLastMayWrite) {
    DownloadBuffer buffer;
    const auto first = buffer.Begin();
    EXPECT_EQ(buffer.Add(first, "old", 3), AddResult::Taken);
    const auto second = buffer.Begin();
    EXPECT_FALSE(buffer.IsCurrent(first));
    EXPECT_EQ(buffer.Add(first, "stale", 5), AddResult::Stale);
    EXPECT_EQ(buffer.Finish(first, true), std::nullopt);
    EXPECT_EQ(buffer.Add(second, "new", 3), AddResult::Taken);
    ASSERT_EQ(buffer.Finish(second, true), 3u);
    EXPECT_EQ(buffer.Received(), "new");

    // An abandoned transfer is refused at once; abandoning an old one changes nothing.
    const auto third = buffer.Begin();
    buffer.Abandon(second);
    EXPECT_TRUE(buffer.IsCurrent(third));
    buffer.Abandon(third);
    EXPECT_FALSE(buffer.IsCurrent(third));
    EXPECT_EQ(buffer.Add(third, "late", 4), AddResult::Stale);
    EXPECT_EQ(buffer.Finish(third, true), std::nullopt);
}

}  // namespace
}  // namespace qen
