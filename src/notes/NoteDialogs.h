#pragma once
// The two dialogs of the notes feature, as its rules see them; the toolkit shows them.
#include <cstdint>
#include <functional>
#include <string>

namespace qen {

// Buttons of the dialogs that edit a note or a diary entry. Dismiss is Escape or the close
// box: it closes as Cancel does, once `decide` agrees.
enum class EditButton { Save, Delete, Dismiss };

struct NoteDialogState {
    std::string title;            // system text (cp1252 with character references)
    std::string text;
    bool existing = false;        // editing a stored note: "Delete Note" is shown
    bool deleteRequested = false;
};

struct DiaryDialogState {
    std::int64_t date = 0;        // seconds since 1970, local date and time picked
    std::string text;
    std::string shownDate;        // the picker's own text in the user's short date format
    bool existing = false;
    bool deleteRequested = false;
    bool monthFirst = true;
    bool monthFirstDecided = false;
};

class NoteDialogs {
public:
    virtual ~NoteDialogs() = default;
    // `decide` runs on Save, Delete or Dismiss with the controls' values already taken into
    // the state and returns true to close: with OK after Save or Delete, as Cancel after
    // Dismiss. Cancel and Dismiss give false.
    virtual bool ShowNoteDialog(NoteDialogState& state,
                                const std::function<bool(EditButton, NoteDialogState&)>& decide) = 0;
    virtual bool ShowDiaryDialog(DiaryDialogState& state,
                                 const std::function<bool(EditButton, DiaryDialogState&)>& decide) = 0;
};

}  // namespace qen
