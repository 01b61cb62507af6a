#include <gtest/gtest.h>

#include "NotesFixture.h"
#include "notes/Diary.h"

namespace qen {
namespace {

using test::kTestTemplate;
using test::ReadFile;
using test::Utc;

class DiaryTest : public ::testing::Test, protected test::NotesFixture {
protected:
    bool SaveNew(std::int64_t date, const std::string& text, const std::string& shown = "") {
        ScriptDiarySave(date, text, shown);
        return EditDiaryEntry(ui, ui, system, store, "new");
    }
};

TEST_F(DiaryTest, EntriesAreKeptInTimestampOrder) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::int64_t, std::string>> saved;
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        {"later dates after earlier", {{Utc(2026, 3, 2), "2"}, {Utc(2026, 3, 3), "3"}, {Utc(2026, 3, 1), "1"}},
         {"1", "2", "3"}},
        {"same moment after the existing entry",
         {{Utc(2026, 3, 1, 9), "first"}, {Utc(2026, 3, 1, 9), "second"}, {Utc(2026, 3, 1, 8), "earlier"}},
         {"earlier", "first", "second"}},
        {"the time of day counts", {{Utc(2026, 3, 1, 18), "evening"}, {Utc(2026, 3, 1, 6), "morning"}},
         {"morning", "evening"}},
        // Beyond 2038 the timestamp no longer fits a signed 32-bit value.
        {"compared unsigned", {{Utc(2040, 1, 1), "2040"}, {Utc(2026, 1, 1), "2026"}}, {"2026", "2040"}},
    };
    for (const Case& c : cases) {
        store.DiaryEntries.clear();
        for (const auto& [date, text] : c.saved) ASSERT_TRUE(SaveNew(date, text)) << c.name;
        EXPECT_EQ(DiaryTexts(), c.listed) << c.name;
    }
}

TEST_F(DiaryTest, ANewEntryStartsAtTheCurrentTime) {
    system.now = Utc(2026, 5, 17, 14, 5);
    std::int64_t offered = 0;
    ui.diaryDialog = [&](DiaryDialogState& state, const auto& decide) {
        EXPECT_FALSE(state.existing);
        offered = state.date;
        state.text = "now";
        return decide(EditButton::Save, state);
    };
    ASSERT_TRUE(EditDiaryEntry(ui, ui, system, store, "new"));
    EXPECT_EQ(offered, system.now);
    EXPECT_EQ(store.DiaryEntries, (std::vector<DiaryEntry>{{static_cast<std::uint32_t>(system.now), "now"}}));
}

TEST_F(DiaryTest, RedatingAnEntryMovesIt) {
    for (int day : {1, 2, 3}) ASSERT_TRUE(SaveNew(Utc(2026, 3, day, 12), "day " + std::to_string(day)));
    ui.diaryDialog = [](DiaryDialogState& state, const auto& decide) {
        EXPECT_TRUE(state.existing);
        EXPECT_EQ(state.date, Utc(2026, 3, 1, 12));
        EXPECT_EQ(state.text, "day 1");
        state.date = Utc(2026, 4, 1, 12);
        return decide(EditButton::Save, state);
    };
    ASSERT_TRUE(EditDiaryEntry(ui, ui, system, store, "1"));
    EXPECT_EQ(DiaryTexts(), (std::vector<std::string>{"day 2", "day 3", "day 1"}));
    // Newest first: the moved entry tops the page as number 3.
    const std::string page = DiaryPageText(system, store, "%%videoposts%%", "Golf");
    const auto top = page.find("<a href='diary_3.html'>04/01/2026</a> &nbsp; - &nbsp; day 1");
    ASSERT_NE(top, std::string::npos);
    EXPECT_LT(top, page.find("diary_2.html"));
}

TEST_F(DiaryTest, MonthFirstDatesLearnedFromThePickersText) {
    struct Case {
        const char* name;
        std::int64_t date;
        const char* shown;
        std::int32_t before;
        std::int32_t after;
    };
    const std::int64_t december7 = Utc(2026, 12, 7, 10, 30);
    const std::int64_t may5 = Utc(2026, 5, 5, 10, 30);
    const Case cases[] = {
        {"day first", december7, "07/12/2026", 1, 0},
        {"month first", december7, "12/07/2026", 0, 1},
        {"day first without leading zeros", december7, "7/12/2026", 0, 1},
        {"two-digit year", december7, "07/12/26", 0, 1},
        {"year first", december7, "2026-12-07", 0, 1},
        {"day equal to its month keeps 0", may5, "05/05/2026", 0, 0},
        {"day equal to its month keeps 1", may5, "05/05/2026", 1, 1},
    };
    for (const Case& c : cases) {
        store.DiaryEntries.clear();
        store.MonthFirstDates = c.before;
        ASSERT_TRUE(SaveNew(c.date, "entry", c.shown)) << c.name;
        EXPECT_EQ(store.MonthFirstDates, c.after) << c.name;
    }
}

TEST_F(DiaryTest, DatesFollowMonthFirstDates) {
    const auto december7 = static_cast<std::uint32_t>(Utc(2026, 12, 7, 23, 59));
    EXPECT_EQ(FormatDiaryDate(system, december7, 1), "12/07/2026");
    EXPECT_EQ(FormatDiaryDate(system, december7, 0), "07/12/2026");
    EXPECT_EQ(FormatDiaryDate(system, december7, 5), "12/07/2026");  // any value but 0
}

TEST_F(DiaryTest, EmptyTextKeepsTheDialogOpen) {
    ui.diaryDialog = [this](DiaryDialogState& state, const auto& decide) {
        state.shownDate = "07/12/2026";
        state.date = Utc(2026, 12, 7);
        EXPECT_FALSE(decide(EditButton::Save, state));
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please enter some text for the entry"});
        EXPECT_EQ(ui.messages.back().icon, Icon::Stop);
        state.text = " ";
        return decide(EditButton::Save, state);
    };
    ASSERT_TRUE(EditDiaryEntry(ui, ui, system, store, "new"));
    EXPECT_EQ(DiaryTexts(), std::vector<std::string>{" "});
    EXPECT_EQ(store.MonthFirstDates, 0);
}

TEST_F(DiaryTest, ADateTheTimestampCannotHoldIsRefused) {
    for (std::int64_t date : {std::int64_t{-1}, std::int64_t{0x100000000}}) {
        ui.messages.clear();
        ui.diaryDialog = [date](DiaryDialogState& state, const auto& decide) {
            state.text = "x";
            state.date = date;
            return decide(EditButton::Save, state);
        };
        EXPECT_FALSE(EditDiaryEntry(ui, ui, system, store, "new"));
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please choose a date between the years 1970 and 2105"});
    }
    EXPECT_TRUE(store.DiaryEntries.empty());
    EXPECT_EQ(store.MonthFirstDates, 1);
}

TEST_F(DiaryTest, DeleteAsksFirst) {
    for (int day : {1, 2, 3}) ASSERT_TRUE(SaveNew(Utc(2026, 3, day), std::to_string(day)));

    ui.answers = {Answer::No};
    ui.diaryDialog = [](DiaryDialogState& state, const auto& decide) {
        EXPECT_FALSE(decide(EditButton::Delete, state));
        return false;
    };
    EXPECT_FALSE(EditDiaryEntry(ui, ui, system, store, "3"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Are you sure you want to delete this entry?");
    EXPECT_EQ(ui.messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);

    // Yes deletes without looking at the text; the date order is not learned.
    store.MonthFirstDates = 0;
    ui.answers = {Answer::Yes};
    ui.diaryDialog = [](DiaryDialogState& state, const auto& decide) {
        state.text.clear();
        state.shownDate = "12/03/2026";
        return decide(EditButton::Delete, state);
    };
    ASSERT_TRUE(EditDiaryEntry(ui, ui, system, store, "3"));
    EXPECT_EQ(DiaryTexts(), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(store.MonthFirstDates, 0);
}

TEST_F(DiaryTest, AnArgumentNamingNoEntryOpensANewEntry) {
    ASSERT_TRUE(SaveNew(Utc(2026, 3, 1), "one"));
    for (const char* argument : {"new", "0", "x", "", "2", "4294967297"}) {
        ui.diaryDialog = [&](DiaryDialogState& state, const auto&) {
            EXPECT_FALSE(state.existing) << argument;
            EXPECT_EQ(state.text, "") << argument;
            EXPECT_EQ(state.date, system.now) << argument;
            return false;
        };
        EXPECT_FALSE(EditDiaryEntry(ui, ui, system, store, argument)) << argument;
    }
    EXPECT_EQ(DiaryTexts(), std::vector<std::string>{"one"});
}

TEST_F(DiaryTest, AFullDiaryRefusesANewEntryBeforeTheDialog) {
    store.DiaryEntries.assign(VideoStore::kMaxDiaryEntries, DiaryEntry{100, "old"});
    ScriptDiarySave(Utc(2026, 1, 1), "extra", "");
    EXPECT_FALSE(EditDiaryEntry(ui, ui, system, store, "new"));
    EXPECT_EQ(dialogsShown, 0);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kDiaryFullMessage});

    ASSERT_TRUE(EditDiaryEntry(ui, ui, system, store, "2000"));
    EXPECT_EQ(store.DiaryEntries.size(), VideoStore::kMaxDiaryEntries);
    EXPECT_EQ(store.DiaryEntries.back().text, "extra");
}

TEST_F(DiaryTest, PageTexts) {
    const std::string intro =
        "<a href='diary_new.html'>Click here to create a new diary entry</a><br><br>\r\n";
    const std::string explanation =
        "Click on the date of any entry to edit/delete it<br><br>All your diary entries are automatically saved "
        "(along with all your video data) when you exit the software<br><br><br>\r\n";
    const std::string separator = std::string(94, '=') + "<br><br>\r\n";

    EXPECT_EQ(DiaryPageText(system, store, kTestTemplate, "Golf"),
              "<title>Your Golf Diary</title>[<div class='articleheader'>Your Golf Diary</div><BR><BR>"
              "You have not created any diary entries yet][][]\n" + intro);

    store.DiaryEntries = {{static_cast<std::uint32_t>(Utc(2026, 12, 7, 9)), "a<b & c>\r\n"}};
    EXPECT_EQ(DiaryPageText(system, store, kTestTemplate, "Golf"),
              "<title>Your Golf Diary</title>[<div class='articleheader'>Your Golf Diary</div><BR><BR>"
              "You have one diary entry][][]\n" + intro + explanation +
                  "<a href='diary_1.html'>12/07/2026</a> &nbsp; - &nbsp; a&lt;b &amp; c&gt;<br><br>\r\n" +
                  separator);

    store.DiaryEntries = {{static_cast<std::uint32_t>(Utc(2026, 3, 1)), "first"},
                          {static_cast<std::uint32_t>(Utc(2026, 3, 2)), "second"},
                          {static_cast<std::uint32_t>(Utc(2026, 3, 3)), "third &#8364;"}};
    store.MonthFirstDates = 0;
    EXPECT_EQ(DiaryPageText(system, store, "%%toplefttext%%|%%videoposts%%", "Golf"),
              "<div class='articleheader'>Your Golf Diary</div><BR><BR>You have 3 diary entries|" + intro +
                  explanation +
                  "<a href='diary_3.html'>03/03/2026</a> &nbsp; - &nbsp; third &#8364;<br><br>\r\n"
                  "<a href='diary_2.html'>02/03/2026</a> &nbsp; - &nbsp; second<br><br>\r\n"
                  "<a href='diary_1.html'>01/03/2026</a> &nbsp; - &nbsp; first<br><br>\r\n" +
                  separator);
}

TEST_F(DiaryTest, WritesThePageIntoTheWorkFolder) {
    ASSERT_TRUE(SaveNew(Utc(2026, 3, 1), "x"));
    ASSERT_TRUE(WriteDiaryPage(ui, system, store, Site(dir.path(), kTestTemplate, "Golf")));
    EXPECT_EQ(ReadFile(dir / "diary.html"), DiaryPageText(system, store, kTestTemplate, "Golf"));

    EXPECT_FALSE(WriteDiaryPage(ui, system, store, Site(dir / "missing/", kTestTemplate, "Golf")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
}

}  // namespace
}  // namespace qen
