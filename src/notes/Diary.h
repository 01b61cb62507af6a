#pragma once
// The diary: dated one-line entries kept in time order, edited through the diary
// dialog and listed newest first on "diary.html".
#include <cstdint>
#include <string>

#include "platform/System.h"
#include "base/PageNames.h"
#include "notes/NoteDialogs.h"
#include "platform/Ui.h"
#include "store/VideoStore.h"

namespace qen {

class ContentSite;

// The diary dialog's rules for Save, Delete and Dismiss; true lets the dialog close.
// On Save it learns the user's date order from `state.shownDate`, the picker's own text.
// Dismiss asks before losing a date or text changed since the dialog showed `shown`.
bool DecideDiaryDialog(Ui& ui, System& system, EditButton button, DiaryDialogState& state,
                       const DiaryDialogState& shown);

// Runs the diary dialog for the link argument ("new" or an entry number); a number that
// names no entry opens the dialog for a new entry. True when the diary changed.
bool EditDiaryEntry(Ui& ui, NoteDialogs& dialogs, System& system, VideoStore& store, const std::string& argument);

// An entry's date as the page writes it, in local time, in the order `MonthFirstDates` sets.
std::string FormatDiaryDate(System& system, std::uint32_t timestamp, std::int32_t monthFirstDates);

// "diary.html" filled into `pageTemplate` and written to `workFolder` (which ends in "/").
std::string DiaryPageText(System& system, const UserData& data, const std::string& pageTemplate,
                          const std::string& niche);
bool WriteDiaryPage(Ui& ui, System& system, const UserData& data, const ContentSite& site);

inline constexpr const char* kDiaryPage = page::kDiary;

}  // namespace qen
