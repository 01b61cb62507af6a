#include <gtest/gtest.h>

#include "store/UserDataFile.h"

namespace qen {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

const std::string kTrailer = Bytes({0x7F, 0x98, 0x3B, 0x68, 0x3A, 0x27, 0x10, 0x89, 0x5C, 0xBE, 0x63, 0x18});

UserData OneVideo() {
    UserData d;
    d.CurrentVideos.push_back({"abc", "T"});
    return d;
}

UserData FilledData() {
    UserData d;
    d.CurrentVideos = {{"v1", "First &amp; best"}, {"v2", std::string(300, 'x')}};
    d.DeletedVideoIds = {"gone1", "gone2"};
    d.Playlist = {{"p1", "Play \xE9"}};
    d.SavedArticles = {{"k1", "Saved one"}};
    d.Notes = {{"alpha", "line 1\r\nline 2"}, {"beta", ""}};
    d.DiaryEntries = {{100, "early"}, {4000000000u, "late"}};
    d.ViewedArticleKeys = " k1 k2 ";
    d.MonthFirstDates = 0;
    return d;
}

TEST(UserDataFile, OneVideoSavesToTheDocumentedBytes) {
    const std::string expected = Bytes({1, 0, 0, 0, 1, 0, 0, 0}) + std::string(20, '\0') +
                                 Bytes({1, 0, 0, 0, 0}) + "\x03" "abc" "\x01" "T" + kTrailer;
    EXPECT_EQ(EncodeUserData(OneVideo()), expected);
}

TEST(UserDataFile, LengthPrefixForms) {
    struct Case {
        std::size_t length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, Bytes({0x00})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {300, Bytes({0xFF, 0x2C, 0x01})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const auto& c : cases) {
        std::string out;
        AppendLumString(out, std::string(c.length, 'a'));
        EXPECT_EQ(out.substr(0, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(out.size(), c.prefix.size() + c.length) << c.length;

        UserData d;
        d.ViewedArticleKeys = std::string(c.length, 'a');
        UserData back;
        ASSERT_TRUE(DecodeUserData(EncodeUserData(d), back)) << c.length;
        EXPECT_EQ(back, d) << c.length;
    }
}

TEST(UserDataFile, RoundTripKeepsEveryListInOrder) {
    const UserData d = FilledData();
    UserData back;
    back.Notes.push_back({"stale", "replaced by the load"});
    ASSERT_TRUE(DecodeUserData(EncodeUserData(d), back));
    EXPECT_EQ(back, d);
}

TEST(UserDataFile, VersionIsReadButNotChecked) {
    std::string image = EncodeUserData(OneVideo());
    image[0] = 7;
    UserData back;
    EXPECT_TRUE(DecodeUserData(image, back));
    EXPECT_EQ(back, OneVideo());
}

// The header of an otherwise empty file with the given count at field `index` (1..6).
std::string WithCount(int index, std::int32_t count) {
    std::string image = EncodeUserData(UserData{});
    const auto u = static_cast<std::uint32_t>(count);
    for (int i = 0; i < 4; ++i) image[static_cast<std::size_t>(4 * index + i)] = static_cast<char>(u >> (8 * i));
    return image;
}

TEST(UserDataFile, DamagedImagesAreRejectedWithWhereTheyBreak) {
    const std::string good = EncodeUserData(FilledData());
    std::string wrongTrailer = good;
    wrongTrailer[wrongTrailer.size() - 1] ^= 1;
    std::string hugeString = EncodeUserData(UserData{});
    // Viewed keys claim 4 GB of text in a file of a few bytes.
    hugeString.replace(32, 1, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    std::string hugeWide = EncodeUserData(UserData{});
    hugeWide.replace(32, 1, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    std::string nestedWide = EncodeUserData(UserData{});
    nestedWide.replace(32, 1, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));

    struct Case {
        const char* name;
        std::string image;
        std::string where;
        std::string whyStart;
    };
    const Case cases[] = {
        {"empty", "", "version", "runs past"},
        {"cut by one byte", good.substr(0, good.size() - 1), "trailer word 3", "runs past"},
        {"wrong trailer", wrongTrailer, "trailer word 3", "is wrong"},
        {"negative count", WithCount(1, -1), "count of current videos", "is -1, below zero"},
        {"videos above capacity", WithCount(1, 20001), "count of current videos",
         "is 20001, above the capacity of 20000"},
        {"notes above capacity", WithCount(5, 1001), "count of notes", "is 1001, above the capacity of 1000"},
        {"diary above capacity", WithCount(6, 2001), "count of diary entries", "is 2001, above the capacity of 2000"},
        {"count without its strings", WithCount(3, 5), "playlist id 1", "runs past"},
        {"string length past the end", hugeString, "viewed article keys", "runs past"},
        {"wide string length past the end", hugeWide, "viewed article keys", "runs past"},
        {"wide mark twice", nestedWide, "viewed article keys", "holds a second"},
    };
    for (const auto& c : cases) {
        UserData back;
        UserDataDamage damage;
        EXPECT_FALSE(DecodeUserData(c.image, back, &damage)) << c.name;
        EXPECT_EQ(damage.where, c.where) << c.name;
        EXPECT_EQ(damage.why.rfind(c.whyStart, 0), 0u) << c.name << ": " << damage.why;
    }
}

TEST(UserDataFile, CountsAtCapacityAreAccepted) {
    UserData d;
    d.Notes.assign(UserData::kMaxNotes, {"n", "t"});
    d.DiaryEntries.assign(UserData::kMaxDiaryEntries, {1, "d"});
    UserData back;
    ASSERT_TRUE(DecodeUserData(EncodeUserData(d), back));
    EXPECT_EQ(back, d);
}

TEST(UserDataFile, WideStringsBecomeSystemTextWithReferences) {
    // "A", e-acute, euro sign, U+1F600 as a surrogate pair, a zero unit (dropped).
    const std::string units = Bytes({0x41, 0x00, 0xE9, 0x00, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0x00});
    std::string image = EncodeUserData(UserData{});
    image.replace(32, 1, Bytes({0xFF, 0xFE, 0xFF, 0x06}) + units);
    UserData back;
    ASSERT_TRUE(DecodeUserData(image, back));
    EXPECT_EQ(back.ViewedArticleKeys, "A\xE9&#8364;&#128512;");
}

TEST(UserDataFile, LongWidePrefixForm) {
    std::string image = EncodeUserData(UserData{});
    image.replace(32, 1, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 0x68, 0x00, 0x69, 0x00}));
    UserData back;
    ASSERT_TRUE(DecodeUserData(image, back));
    EXPECT_EQ(back.ViewedArticleKeys, "hi");
}

}  // namespace
}  // namespace qen

namespace qen {
namespace {

// FilledData with the lists from `firstLost` (in file order) on emptied.
UserData KeptUpTo(std::size_t firstLost) {
    UserData d = FilledData();
    if (firstLost <= 0) d.DeletedVideoIds.clear();
    if (firstLost <= 1) d.CurrentVideos.clear();
    if (firstLost <= 2) d.Playlist.clear();
    if (firstLost <= 3) d.SavedArticles.clear();
    if (firstLost <= 4) d.Notes.clear();
    if (firstLost <= 5) d.DiaryEntries.clear();
    return d;
}

TEST(SalvageUserData, KeepsTheListsBeforeTheDamage) {
    const std::string good = EncodeUserData(FilledData());
    auto cutInside = [&](const std::string& text) { return good.substr(0, good.find(text) + 2); };
    std::string wrongTrailer = good;
    wrongTrailer.back() ^= 1;

    struct Case {
        const char* name;
        std::string image;
        std::size_t listsKept;
        std::string damagedAt;  // empty: sound
    };
    const Case cases[] = {
        {"sound", good, 6, ""},
        {"cut in the middle of the notes", cutInside("line 1"), 4, "note text 1"},
        {"cut in the first list", cutInside("gone2"), 0, "deleted video id 2"},
        // Ids without their titles are not a list that read whole.
        {"cut in the current video titles", cutInside("First"), 1, "current video title 1"},
        {"cut in the last diary text", cutInside("late"), 5, "diary text 2"},
        {"wrong trailer", wrongTrailer, 6, "trailer word 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const UserDataSalvage salvage = SalvageUserData(c.image);
        EXPECT_TRUE(salvage.headerKept);
        EXPECT_EQ(salvage.listsKept, c.listsKept);
        EXPECT_EQ(salvage.data, KeptUpTo(c.listsKept));
        EXPECT_EQ(salvage.countsInFile, (std::array<std::size_t, kSavedListCount>{2, 2, 1, 1, 2, 2}));
        if (c.damagedAt.empty()) {
            EXPECT_FALSE(salvage.damage);
        } else {
            ASSERT_TRUE(salvage.damage);
            EXPECT_EQ(salvage.damage->where, c.damagedAt);
        }
    }
}

TEST(SalvageUserData, NothingIsKeptWhenTheCountsOrViewedKeysDoNotRead) {
    const std::string good = EncodeUserData(FilledData());
    const std::string cases[] = {
        WithCount(5, 1001),                        // a count above its capacity
        good.substr(0, good.find(" k1 k2 ") + 2),  // cut in the viewed article keys
        good.substr(0, 10),                        // cut in the counts
    };
    for (const std::string& image : cases) {
        const UserDataSalvage salvage = SalvageUserData(image);
        EXPECT_FALSE(salvage.headerKept);
        EXPECT_EQ(salvage.listsKept, 0u);
        EXPECT_EQ(salvage.data, UserData{});
        EXPECT_TRUE(salvage.damage);
    }
}

}  // namespace
}  // namespace qen
