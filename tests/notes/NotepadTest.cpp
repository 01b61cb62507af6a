#include <gtest/gtest.h>

#include <climits>

#include "NotesFixture.h"
#include "notes/Notepad.h"
#include "notes/NotesText.h"

namespace qen {
namespace {

using test::kTestTemplate;
using test::ReadFile;

class NotepadTest : public ::testing::Test, protected test::NotesFixture {
protected:
    bool SaveNew(const std::string& title, const std::string& text = "") {
        ScriptNoteSave(title, text);
        return EditNote(ui, ui, store, "new");
    }
};

TEST(ParseEntryNumber, DigitsOnly) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"", 0},   {"0", 0},   {"7", 7},    {"007", 7},  {"123", 123}, {"-3", -1},
        {"+3", -1}, {" 1", -1}, {"12a", -1}, {"new", -1}, {"1.5", -1},
        {"99999999999999999999", INT_MAX},  // held, not wrapped round to a small number
    };
    for (const Case& c : cases) EXPECT_EQ(ParseEntryNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(SeparatorLine, NinetyFourEqualsSigns) {
    EXPECT_EQ(SeparatorLine(), std::string(94, '=') + "<br><br>\r\n");
}

TEST_F(NotepadTest, NotesAreKeptInCaseInsensitiveTitleOrder) {
    struct Case {
        std::vector<std::string> saved;
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        {{"beta", "Alpha", "alpha"}, {"Alpha", "alpha", "beta"}},
        {{"Zeta", "alpha"}, {"alpha", "Zeta"}},          // not the byte order of "Z" and "a"
        {{"b", "a", "_x"}, {"_x", "a", "b"}},            // "_" sorts before the letters
        {{"ab", "a", "A"}, {"a", "A", "ab"}},            // a prefix first; equal titles in saving order
        {{"\xE9t\xE9", "zoo", "Apple"}, {"Apple", "zoo", "\xE9t\xE9"}},  // bytes above 0x7F after ASCII
        {{"  ", "a"}, {"  ", "a"}},                      // a title of blanks is a title
    };
    for (const Case& c : cases) {
        store.Notes.clear();
        for (const auto& title : c.saved) ASSERT_TRUE(SaveNew(title));
        EXPECT_EQ(NoteTitles(), c.listed) << c.saved.front();
    }
}

TEST_F(NotepadTest, EditingANoteMovesItToItsSortedPlace) {
    for (const char* title : {"apple", "banana", "cherry"}) ASSERT_TRUE(SaveNew(title, std::string("text of ") + title));

    ui.noteDialog = [](NoteDialogState& state, const auto& decide) {
        EXPECT_TRUE(state.existing);
        EXPECT_EQ(state.title, "apple");
        EXPECT_EQ(state.text, "text of apple");
        state.title = "zucchini";
        return decide(EditButton::Save, state);
    };
    ASSERT_TRUE(EditNote(ui, ui, store, "1"));
    EXPECT_EQ(NoteTitles(), (std::vector<std::string>{"banana", "cherry", "zucchini"}));
    EXPECT_EQ(store.Notes[2].text, "text of apple");
    // The page links the renamed note by its new number.
    EXPECT_NE(NotepadPageText(store, "%%videoposts%%", "N").find("<a href='notepad_3.html'>zucchini</a>"),
              std::string::npos);
}

TEST_F(NotepadTest, SavingAnUnchangedTitleGoesAfterItsEquals) {
    ASSERT_TRUE(SaveNew("note", "first"));
    ASSERT_TRUE(SaveNew("NOTE", "second"));
    ui.noteDialog = [](NoteDialogState& state, const auto& decide) { return decide(EditButton::Save, state); };
    ASSERT_TRUE(EditNote(ui, ui, store, "1"));
    EXPECT_EQ(store.Notes, (std::vector<NoteEntry>{{"NOTE", "second"}, {"note", "first"}}));
}

TEST_F(NotepadTest, AnArgumentNamingNoNoteOpensANewNote) {
    ASSERT_TRUE(SaveNew("one"));
    ASSERT_TRUE(SaveNew("two"));
    for (const char* argument : {"new", "0", "abc", "", "3", "99999999999", "-1"}) {
        bool existing = true;
        ui.noteDialog = [&](NoteDialogState& state, const auto&) {
            existing = state.existing;
            EXPECT_EQ(state.title, "");
            EXPECT_EQ(state.text, "");
            return false;
        };
        EXPECT_FALSE(EditNote(ui, ui, store, argument)) << argument;
        EXPECT_FALSE(existing) << argument;
    }
    // Saving from such a link adds a note and leaves the others alone.
    ScriptNoteSave("three", "t");
    ASSERT_TRUE(EditNote(ui, ui, store, "7"));
    EXPECT_EQ(NoteTitles(), (std::vector<std::string>{"one", "three", "two"}));
}

TEST_F(NotepadTest, EmptyTitleKeepsTheDialogOpen) {
    ui.noteDialog = [this](NoteDialogState& state, const auto& decide) {
        state.text = "kept";
        EXPECT_FALSE(decide(EditButton::Save, state));
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please enter a title for the note"});
        EXPECT_EQ(ui.messages.back().icon, Icon::Stop);
        EXPECT_EQ(state.text, "kept");
        state.title = "Title";
        return decide(EditButton::Save, state);
    };
    ASSERT_TRUE(EditNote(ui, ui, store, "new"));
    EXPECT_EQ(store.Notes, (std::vector<NoteEntry>{{"Title", "kept"}}));
}

TEST_F(NotepadTest, DeleteAsksFirst) {
    for (const char* title : {"a", "b", "c"}) ASSERT_TRUE(SaveNew(title));

    // No keeps the dialog open; the user then cancels.
    ui.answers = {Answer::No};
    ui.noteDialog = [](NoteDialogState& state, const auto& decide) {
        EXPECT_FALSE(decide(EditButton::Delete, state));
        EXPECT_FALSE(state.deleteRequested);
        return false;
    };
    EXPECT_FALSE(EditNote(ui, ui, store, "2"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Are you sure you want to delete this note?");
    EXPECT_EQ(ui.messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(store.Notes.size(), 3u);

    // Yes deletes, even with the title emptied.
    ui.answers = {Answer::Yes};
    ui.noteDialog = [](NoteDialogState& state, const auto& decide) {
        state.title.clear();
        return decide(EditButton::Delete, state);
    };
    ASSERT_TRUE(EditNote(ui, ui, store, "2"));
    EXPECT_EQ(NoteTitles(), (std::vector<std::string>{"a", "c"}));
}

TEST_F(NotepadTest, CancelChangesNothing) {
    ASSERT_TRUE(SaveNew("a", "x"));
    ui.noteDialog = [](NoteDialogState& state, const auto&) {
        state.title = "changed";
        return false;
    };
    EXPECT_FALSE(EditNote(ui, ui, store, "1"));
    EXPECT_EQ(store.Notes, (std::vector<NoteEntry>{{"a", "x"}}));
}

TEST_F(NotepadTest, AFullNotepadRefusesANewNoteBeforeTheDialog) {
    for (std::size_t i = 0; i < VideoStore::kMaxNotes; ++i) store.Notes.push_back({"n" + std::to_string(1000 + i), ""});
    ScriptNoteSave("extra", "");
    EXPECT_FALSE(EditNote(ui, ui, store, "new"));
    EXPECT_EQ(dialogsShown, 0);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kNotesFullMessage});
    EXPECT_EQ(store.Notes.size(), VideoStore::kMaxNotes);

    // Editing a stored note still works.
    ASSERT_TRUE(EditNote(ui, ui, store, "1"));
    EXPECT_EQ(store.Notes.size(), VideoStore::kMaxNotes);
    EXPECT_EQ(store.Notes.front().title, "extra");
}

TEST(NoteEscaping, MarkupAndLineBreaks) {
    struct Case {
        const char* text;
        const char* note;   // as the notepad writes it
        const char* diary;  // as the diary writes it
    };
    const Case cases[] = {
        {"a<b & c>d", "a&lt;b &amp; c&gt;d", "a&lt;b &amp; c&gt;d"},
        {"one\r\ntwo", "one<br>two", "onetwo"},
        {"a\rb\nc\r\n\r\nd", "a<br>b<br>c<br><br>d", "abcd"},
        {"\n\r", "<br><br>", ""},
        {"&lt;", "&amp;lt;", "&amp;lt;"},  // text the user typed, not markup
        // References carry characters outside the code page: they stay whole.
        {"&#8364; &#20013;&#1;", "&#8364; &#20013;&#1;", "&#8364; &#20013;&#1;"},
        {"&#1114111;", "&#1114111;", "&#1114111;"},
        {"&#12345678;", "&amp;#12345678;", "&amp;#12345678;"},
        {"&#;", "&amp;#;", "&amp;#;"},
        {"&#x41;", "&amp;#x41;", "&amp;#x41;"},
        {"&#12a;", "&amp;#12a;", "&amp;#12a;"},
        {"&#12", "&amp;#12", "&amp;#12"},
        {"&", "&amp;", "&amp;"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapeNoteText(c.text), c.note) << c.text;
        EXPECT_EQ(EscapeDiaryText(c.text), c.diary) << c.text;
    }
}

TEST_F(NotepadTest, PageTexts) {
    const std::string intro = "<a href='notepad_new.html'>Click here to create a new note</a><br><br>\r\n";
    const std::string explanation =
        "Click on the title of any note to edit/delete it<br><br>All your notes are automatically saved "
        "(along with all your video data) when you exit the software<br><br><br>\r\n";
    const std::string separator = std::string(94, '=') + "<br><br>\r\n";

    EXPECT_EQ(NotepadPageText(store, kTestTemplate, "Golf"),
              "<title>Your Golf Notes</title>[<div class='articleheader'>Your Golf Notes</div><BR><BR>"
              "You have not created any notes yet][][]\n" + intro);

    store.Notes = {{"<b>Bold</b>", "a<b & c>\r\nd"}};
    EXPECT_EQ(NotepadPageText(store, kTestTemplate, "Golf"),
              "<title>Your Golf Notes</title>[<div class='articleheader'>Your Golf Notes</div><BR><BR>"
              "You have one note][][]\n" + intro + explanation + separator +
                  "<a href='notepad_1.html'>&lt;b&gt;Bold&lt;/b&gt;</a><br><br>\r\n"
                  "a&lt;b &amp; c&gt;<br>d<br><br><br>\r\n" + separator);

    store.Notes = {{"A", ""}, {"B", "x"}};
    EXPECT_EQ(NotepadPageText(store, "%%toplefttext%%|%%videoposts%%", "Golf"),
              "<div class='articleheader'>Your Golf Notes</div><BR><BR>You have 2 notes|" + intro + explanation +
                  separator + "<a href='notepad_1.html'>A</a><br><br>\r\n<br><br><br>\r\n" + separator +
                  "<a href='notepad_2.html'>B</a><br><br>\r\nx<br><br><br>\r\n" + separator);
}

// A title is what the user typed: "<3" or "&" show as typed and never bold or hide the page.
TEST_F(NotepadTest, TitlesAreShownAsText) {
    struct Case {
        std::string stored, written;
    };
    const Case cases[] = {
        {"I <3 dogs", "I &lt;3 dogs"},
        {"<b>", "&lt;b&gt;"},
        {"Tom &#38; Jerry", "Tom &#38; Jerry"},        // an "&" the user typed
        {"Caf\xE9 &#20013;", "Caf\xE9 &#20013;"},      // a letter cp1252 lacks
        {"old & style", "old &amp; style"},            // an "&" stored before it was encoded
        {"%%toplefttext%%", "%%toplefttext%%"},        // a placeholder is only text here
    };
    for (const Case& c : cases) {
        store.Notes = {{c.stored, ""}};
        const std::string page = NotepadPageText(store, "%%videoposts%%%%toplefttext%%", "Golf");
        EXPECT_NE(page.find("<a href='notepad_1.html'>" + c.written + "</a>"), std::string::npos)
            << c.stored;
    }
}

TEST_F(NotepadTest, WritesThePageIntoTheWorkFolder) {
    store.Notes = {{"t", "x"}};
    ASSERT_TRUE(WriteNotepadPage(ui, store, Site(dir.path(), kTestTemplate, "Golf")));
    EXPECT_EQ(ReadFile(dir / "notepad.html"), NotepadPageText(store, kTestTemplate, "Golf"));
    EXPECT_TRUE(ui.messages.empty());

    EXPECT_FALSE(WriteNotepadPage(ui, store, Site(dir / "missing/", kTestTemplate, "Golf")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, Icon::Stop);
}

// Typed text arrives as cp1252 with references for what cp1252 lacks; it must come
// back from the user data file unchanged and show as the characters on the page.
TEST_F(NotepadTest, CharactersBeyondTheCodePageSurviveSaveReloadAndPage) {
    const std::string title = "Caf\xE9 \x80";                   // "Café €"
    const std::string text = "Stra\xDF" "e \x80 &#20013; & co";  // "Straße € 中 & co"
    ScriptNoteSave(title, text);
    ASSERT_TRUE(EditNote(ui, ui, store, "new"));

    const Path lum = dir / "user.lum";
    ASSERT_TRUE(store.SaveUserData(lum));
    VideoStore reloaded;
    ASSERT_TRUE(reloaded.LoadUserData(lum));
    EXPECT_EQ(reloaded.Notes, (std::vector<NoteEntry>{{title, text}}));

    ASSERT_TRUE(WriteNotepadPage(ui, reloaded, Site(dir.path(), "%%videoposts%%", "Golf")));
    const std::string page = ReadFile(dir / "notepad.html");
    EXPECT_NE(page.find("<a href='notepad_1.html'>Caf\xE9 \x80</a>"), std::string::npos);
    EXPECT_NE(page.find("Stra\xDF" "e \x80 &#20013; &amp; co<br><br><br>"), std::string::npos);
    EXPECT_EQ(page.find("&amp;#"), std::string::npos);
}

}  // namespace
}  // namespace qen
