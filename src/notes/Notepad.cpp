#include "notes/Notepad.h"

#include "base/LinkNames.h"
#include "notes/DiscardQuestion.h"
#include "notes/NotesText.h"
#include "package/ContentSite.h"
#include "messages/FileMessages.h"

namespace qen {

bool DecideNoteDialog(Ui& ui, EditButton button, NoteDialogState& state, const NoteDialogState& shown) {
    if (button == EditButton::Dismiss)
        return MayDiscardChanges(ui, state.title != shown.title || state.text != shown.text);
    if (button == EditButton::Delete) {
        if (ui.ShowMessage("Are you sure you want to delete this note?", Icon::Exclamation, Buttons::YesNo) !=
            Answer::Yes)
            return false;
        state.deleteRequested = true;
        return true;
    }
    // A title of blanks is a title; only no characters at all is refused.
    if (state.title.empty()) {
        ui.ShowMessage("Please enter a title for the note", Icon::Stop);
        return false;
    }
    return true;
}

bool EditNote(Ui& ui, NoteDialogs& dialogs, VideoStore& store, const std::string& argument) {
    auto& notes = store.Notes;
    long index = -1;
    if (argument != kNewEntry) index = static_cast<long>(ParseEntryNumber(argument)) - 1;
    if (index >= static_cast<long>(notes.size())) index = -1;
    // Refuse a new note before the user types it, not after.
    if (index < 0 && store.NotesFull()) {
        ui.ShowMessage(kNotesFullMessage, Icon::Stop);
        return false;
    }

    NoteDialogState state;
    if (index >= 0) {
        state.title = notes[index].title;
        state.text = notes[index].text;
        state.existing = true;
    }
    const NoteDialogState shown = state;
    if (!dialogs.ShowNoteDialog(state, [&ui, &shown](EditButton button, NoteDialogState& s) {
            return DecideNoteDialog(ui, button, s, shown);
        }))
        return false;

    if (state.deleteRequested) {
        if (index < 0) return false;
        notes.erase(notes.begin() + index);
        return true;
    }
    if (index >= 0) notes.erase(notes.begin() + index);
    // An edited note has just made its own room.
    return store.InsertNote({state.title, state.text});
}

std::string NotepadPageText(const UserData& data, const std::string& pageTemplate, const std::string& niche) {
    const std::size_t n = data.Notes.size();
    const std::string count =
        CountSentence(n, "You have not created any notes yet", "You have one note", "notes");
    const std::string heading = "<div class='articleheader'>Your " + niche + " Notes</div><BR><BR>" + count;

    std::string body = "<a href='" + CommandLink(link::kNote, kNewEntry) + "'>Click here to create a new note</a><br><br>\r\n";
    if (n > 0)
        body +=
            "Click on the title of any note to edit/delete it<br><br>All your notes are automatically saved "
            "(along with all your video data) when you exit the software<br><br><br>\r\n";
    for (std::size_t k = 1; k <= n; ++k) {
        const NoteEntry& note = data.Notes[k - 1];
        body += SeparatorLine();
        // The title is what the user typed: text, never markup.
        body += "<a href='" + CommandLink(link::kNote, std::to_string(k)) + "'>" + EscapeDiaryText(note.title) +
                "</a><br><br>\r\n";
        body += EscapeNoteText(note.text) + "<br><br><br>\r\n";
    }
    if (n > 0) body += SeparatorLine();

    return FillTemplate(pageTemplate, body, "", heading, "", "Your " + niche + " Notes");
}

bool WriteNotepadPage(Ui& ui, const UserData& data, const ContentSite& site) {
    return WriteWholeFile(ui, site.WorkFolder / kNotepadPage, NotepadPageText(data, site.PageTemplate, site.Niche));
}

}  // namespace qen
