#pragma once
// The notepad: titled notes kept in title order, edited through the note dialog and
// listed on "notepad.html".
#include <string>

#include "base/PageNames.h"
#include "notes/NoteDialogs.h"
#include "platform/Ui.h"
#include "store/VideoStore.h"

namespace qen {

class ContentSite;

// The note dialog's rules for Save, Delete Note and Dismiss; true lets the dialog close.
// Dismiss asks before losing what was typed since the dialog showed `shown`.
bool DecideNoteDialog(Ui& ui, EditButton button, NoteDialogState& state, const NoteDialogState& shown);

// Runs the note dialog for the link argument ("new" or a note number); a number that
// names no note opens the dialog for a new note. True when `Notes` changed.
bool EditNote(Ui& ui, NoteDialogs& dialogs, VideoStore& store, const std::string& argument);

// The body and heading of "notepad.html", filled into `pageTemplate` and written to
// `workFolder` (which ends in "/"). False after the write's own message.
std::string NotepadPageText(const UserData& data, const std::string& pageTemplate, const std::string& niche);
bool WriteNotepadPage(Ui& ui, const UserData& data, const ContentSite& site);

inline constexpr const char* kNotepadPage = page::kNotepad;

}  // namespace qen
