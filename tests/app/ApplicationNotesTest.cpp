// Notes and diary across a real start-up, exit save and second start-up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "app/Application.h"
#include "fakes/FakePlatform.h"
#include "fakes/StartUpFolders.h"
#include "fakes/TempDir.h"
#include "fakes/TestPackages.h"

namespace qen {
namespace {

using test::ReadFile;
using test::WriteFile;

class NotesStartUpTest : public ::testing::Test, protected test::StartUpFolders {
protected:
    void SetUp() override { WriteFile(program / "QenRuntime.qen", test::MakeBlock(test::SmallSite())); }
};

TEST_F(NotesStartUpTest, PagesAreWrittenAtStartUpAndTheirDataSurvivesARestart) {
    const std::string title = "Caf\xE9 \x80";
    const std::string text = "Stra\xDF" "e &#20013;\r\nline two";
    {
        test::FakePlatform platform;
        Prepare(platform, 1'700'000'000);
        Application app(platform, platform.fakeFetcher, platform.fakeUi.Dialogs());
        ASSERT_TRUE(app.Start({exe.Bytes()}));
        EXPECT_NE(ReadFile(app.session().WorkFolder / "notepad.html").find("You have not created any notes yet"),
                  std::string::npos);
        EXPECT_NE(ReadFile(app.session().WorkFolder / "diary.html").find("You have not created any diary entries yet"),
                  std::string::npos);

        platform.fakeUi.noteDialog = [&](NoteDialogState& state, const auto& decide) {
            state.title = title;
            state.text = text;
            return decide(EditButton::Save, state);
        };
        platform.fakeUi.diaryDialog = [](DiaryDialogState& state, const auto& decide) {
            state.text = "First lesson";
            state.shownDate = "14/11/2023";
            return decide(EditButton::Save, state);
        };
        app.view().OnBeforeNavigate((app.session().WorkFolder / "notepad_new.html").Bytes(), ViewEvents::Origin::Page);
        app.view().OnBeforeNavigate((app.session().WorkFolder / "diary_new.html").Bytes(), ViewEvents::Origin::Page);
        EXPECT_TRUE(platform.fakeUi.messages.empty()) << platform.fakeUi.messages[0].text;
        app.Shutdown(0);
    }
    test::FakePlatform platform;
    Prepare(platform, 1'700'000'100);
    Application app(platform, platform.fakeFetcher, platform.fakeUi.Dialogs());
    ASSERT_TRUE(app.Start({exe.Bytes()}));
    EXPECT_EQ(app.store().Notes, (std::vector<NoteEntry>{{title, text}}));
    const std::string notepad = ReadFile(app.session().WorkFolder / "notepad.html");
    EXPECT_NE(notepad.find("<a href='notepad_1.html'>" + title + "</a><br><br>\r\nStra\xDF" "e &#20013;<br>line two"),
              std::string::npos);
    EXPECT_NE(ReadFile(app.session().WorkFolder / "diary.html")
                  .find("<a href='diary_1.html'>14/11/2023</a> &nbsp; - &nbsp; First lesson"),
              std::string::npos);
    app.session().ReadyToSave = false;
    app.Shutdown(0);
}

}  // namespace
}  // namespace qen
