// The notepad and diary links as the view handles them.
#include <gtest/gtest.h>

#include "fakes/TempDir.h"
#include "view/ViewFixture.h"

namespace qen {
namespace {

using test::ReadFile;

struct NoteLinksTest : test::ViewFixture {
    void SetUp() override {
        ViewFixture::SetUp();
        site.PageTemplate = "<h1>%%pagetitle%%</h1>%%videoposts%%";
        site.Niche = "Golf";
    }
};

TEST_F(NoteLinksTest, ASavedNoteRewritesThePageAndRefreshesTheView) {
    ui.noteDialog = [](NoteDialogState& state, const auto& decide) {
        state.title = "Tee times";
        state.text = "Saturday";
        return decide(EditButton::Save, state);
    };
    EXPECT_TRUE(view.OnBeforeNavigate(W("notepad_new.html"), ViewEvents::Origin::Page));
    EXPECT_EQ(store.Notes, (std::vector<NoteEntry>{{"Tee times", "Saturday"}}));
    const std::string page = ReadFile(W("notepad.html"));
    EXPECT_EQ(page.rfind("<h1>Your Golf Notes</h1>", 0), 0u);
    EXPECT_NE(page.find("<a href='notepad_1.html'>Tee times</a>"), std::string::npos);
    EXPECT_EQ(window.timerStarts, std::vector<int>{DeferredActions::kRefreshTimer});
}

TEST_F(NoteLinksTest, ASavedDiaryEntryRewritesThePageAndRefreshesTheView) {
    ui.diaryDialog = [](DiaryDialogState& state, const auto& decide) {
        state.text = "Round of 72";
        state.shownDate = "14/11/2023";  // the fake clock's date, day first
        return decide(EditButton::Save, state);
    };
    EXPECT_TRUE(view.OnBeforeNavigate(W("diary_new.html"), ViewEvents::Origin::Page));
    ASSERT_EQ(store.DiaryEntries.size(), 1u);
    EXPECT_EQ(store.DiaryEntries[0].timestamp, system.now);
    EXPECT_EQ(store.MonthFirstDates, 0);
    EXPECT_NE(ReadFile(W("diary.html")).find("<a href='diary_1.html'>14/11/2023</a> &nbsp; - &nbsp; Round of 72"),
              std::string::npos);
    EXPECT_EQ(window.timerStarts, std::vector<int>{DeferredActions::kRefreshTimer});
}

TEST_F(NoteLinksTest, NothingIsWrittenOrRefreshedWhenTheUserCancels) {
    ui.noteDialog = [](NoteDialogState&, const auto&) { return false; };
    ui.diaryDialog = [](DiaryDialogState&, const auto&) { return false; };
    EXPECT_TRUE(view.OnBeforeNavigate(W("notepad_1.html"), ViewEvents::Origin::Page));
    EXPECT_TRUE(view.OnBeforeNavigate(W("diary_new.html"), ViewEvents::Origin::Page));
    EXPECT_FALSE(test::Exists(W("notepad.html")));
    EXPECT_FALSE(test::Exists(W("diary.html")));
    EXPECT_TRUE(window.timerStarts.empty());
}

TEST_F(NoteLinksTest, APageThatCannotBeWrittenLeavesTheViewAlone) {
    SetWorkFolder(work / "gone/");
    ui.noteDialog = [](NoteDialogState& state, const auto& decide) {
        state.title = "t";
        return decide(EditButton::Save, state);
    };
    EXPECT_TRUE(view.OnBeforeNavigate((session.WorkFolder / "notepad_new.html").Bytes(), ViewEvents::Origin::Page));
    EXPECT_EQ(store.Notes.size(), 1u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
    EXPECT_TRUE(window.timerStarts.empty());
}

}  // namespace
}  // namespace qen
