#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "notes/Diary.h"
#include "notes/Notepad.h"
#include "notes/NotesFixture.h"

namespace qen::test {
namespace {

class DismissTest : public NotesFixture, public ::testing::Test {};

const std::string kQuestion = "Discard the changes you made?";

// Escape in an edited dialog: what the user typed, how they answer, and whether it closed.
template <typename State>
struct DismissCase {
    const char* what;
    std::function<void(State&)> type;
    std::deque<Answer> answers;
    bool asked;
    bool closes;
};

TEST_F(DismissTest, EscapeInTheNoteDialogAsksOnlyWhenSomethingWasTyped) {
    ScriptNoteSave("walk", "ten minutes");
    ASSERT_TRUE(EditNote(ui, ui, store, "new"));
    const std::vector<DismissCase<NoteDialogState>> cases = {
        {"nothing typed", [](NoteDialogState&) {}, {}, false, true},
        {"typed and typed back", [](NoteDialogState& s) { s.text = "ten minutes"; }, {}, false, true},
        {"title changed, keep editing", [](NoteDialogState& s) { s.title = "run"; }, {Answer::No}, true, false},
        {"text changed, discard", [](NoteDialogState& s) { s.text += "!"; }, {Answer::Yes}, true, true},
    };
    for (const auto& c : cases) {
        ui.messages.clear();
        ui.answers = c.answers;
        bool closed = false;
        ui.noteDialog = [&](NoteDialogState& state, const auto& decide) {
            c.type(state);
            closed = decide(EditButton::Dismiss, state);
            return false;  // Dismiss closes as Cancel does
        };
        EXPECT_FALSE(EditNote(ui, ui, store, "1")) << c.what;
        EXPECT_EQ(closed, c.closes) << c.what;
        EXPECT_EQ(ui.Texts(), c.asked ? std::vector<std::string>{kQuestion} : std::vector<std::string>{}) << c.what;
        if (c.asked) {
            EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo) << c.what;
        }
        EXPECT_EQ(store.Notes, (std::vector<NoteEntry>{{"walk", "ten minutes"}})) << c.what;
    }
}

TEST_F(DismissTest, EscapeInTheDiaryDialogAsksWhenTheDateOrTextChanged) {
    const std::vector<DismissCase<DiaryDialogState>> cases = {
        {"nothing typed", [](DiaryDialogState&) {}, {}, false, true},
        {"another day, keep editing", [](DiaryDialogState& s) { s.date += 86400; }, {Answer::No}, true, false},
        {"text typed, discard", [](DiaryDialogState& s) { s.text = "sit"; }, {Answer::Yes}, true, true},
    };
    for (const auto& c : cases) {
        ui.messages.clear();
        ui.answers = c.answers;
        bool closed = false;
        ui.diaryDialog = [&](DiaryDialogState& state, const auto& decide) {
            c.type(state);
            closed = decide(EditButton::Dismiss, state);
            return false;
        };
        EXPECT_FALSE(EditDiaryEntry(ui, ui, system, store, "new")) << c.what;
        EXPECT_EQ(closed, c.closes) << c.what;
        EXPECT_EQ(ui.Texts(), c.asked ? std::vector<std::string>{kQuestion} : std::vector<std::string>{}) << c.what;
        EXPECT_TRUE(store.DiaryEntries.empty()) << c.what;
    }
}

}  // namespace
}  // namespace qen::test
