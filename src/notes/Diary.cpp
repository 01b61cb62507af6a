#include "notes/Diary.h"

#include <limits>

#include "base/LinkNames.h"
#include "notes/DiscardQuestion.h"
#include "notes/NotesText.h"
#include "package/ContentSite.h"
#include "messages/FileMessages.h"

namespace qen {

namespace {

constexpr const char* kDayFirstFormat = "%d/%m/%Y";
constexpr const char* kMonthFirstFormat = "%m/%d/%Y";

// The stored timestamp is an unsigned 32-bit count of seconds.
bool FitsTimestamp(std::int64_t date) {
    return date >= 0 && date <= std::numeric_limits<std::uint32_t>::max();
}

}  // namespace

bool DecideDiaryDialog(Ui& ui, System& system, EditButton button, DiaryDialogState& state,
                       const DiaryDialogState& shown) {
    if (button == EditButton::Dismiss)
        return MayDiscardChanges(ui, state.date != shown.date || state.text != shown.text);
    if (button == EditButton::Delete) {
        if (ui.ShowMessage("Are you sure you want to delete this entry?", Icon::Exclamation, Buttons::YesNo) !=
            Answer::Yes)
            return false;
        state.deleteRequested = true;
        return true;
    }
    if (state.text.empty()) {
        ui.ShowMessage("Please enter some text for the entry", Icon::Stop);
        return false;
    }
    if (!FitsTimestamp(state.date)) {
        ui.ShowMessage("Please choose a date between the years 1970 and 2105", Icon::Stop);
        return false;
    }
    const std::string dayFirst = system.FormatLocalTime(state.date, kDayFirstFormat);
    const std::string monthFirst = system.FormatLocalTime(state.date, kMonthFirstFormat);
    // Only a date whose day and month differ shows which comes first.
    if (dayFirst != monthFirst) state.monthFirstDecided = true;
    state.monthFirst = dayFirst != state.shownDate;
    return true;
}

bool EditDiaryEntry(Ui& ui, NoteDialogs& dialogs, System& system, VideoStore& store,
                    const std::string& argument) {
    auto& entries = store.DiaryEntries;
    long index = -1;
    if (argument != kNewEntry) index = static_cast<long>(ParseEntryNumber(argument)) - 1;
    if (index >= static_cast<long>(entries.size())) index = -1;
    // Refuse a new entry before the user types it, not after.
    if (index < 0 && store.DiaryFull()) {
        ui.ShowMessage(kDiaryFullMessage, Icon::Stop);
        return false;
    }

    DiaryDialogState state;
    if (index >= 0) {
        state.date = entries[index].timestamp;
        state.text = entries[index].text;
        state.existing = true;
    } else {
        state.date = system.Now();
    }
    const DiaryDialogState shown = state;
    if (!dialogs.ShowDiaryDialog(state, [&ui, &system, &shown](EditButton button, DiaryDialogState& s) {
            return DecideDiaryDialog(ui, system, button, s, shown);
        }))
        return false;

    if (state.deleteRequested) {
        if (index < 0) return false;
        entries.erase(entries.begin() + index);
        return true;
    }
    // The dialog has refused any date outside the timestamp's range; a dialog that
    // closed with one anyway changes nothing.
    if (!FitsTimestamp(state.date)) return false;
    if (state.monthFirstDecided) store.MonthFirstDates = state.monthFirst ? 1 : 0;
    if (index >= 0) entries.erase(entries.begin() + index);
    // An edited entry has just made its own room.
    return store.InsertDiaryEntry({static_cast<std::uint32_t>(state.date), state.text});
}

std::string FormatDiaryDate(System& system, std::uint32_t timestamp, std::int32_t monthFirstDates) {
    return system.FormatLocalTime(timestamp, monthFirstDates != 0 ? kMonthFirstFormat : kDayFirstFormat);
}

std::string DiaryPageText(System& system, const UserData& data, const std::string& pageTemplate,
                          const std::string& niche) {
    const std::size_t n = data.DiaryEntries.size();
    const std::string count = CountSentence(n, "You have not created any diary entries yet",
                                            "You have one diary entry", "diary entries");
    const std::string heading = "<div class='articleheader'>Your " + niche + " Diary</div><BR><BR>" + count;

    std::string body =
        "<a href='" + CommandLink(link::kDiaryEntry, kNewEntry) + "'>Click here to create a new diary entry</a><br><br>\r\n";
    if (n > 0)
        body +=
            "Click on the date of any entry to edit/delete it<br><br>All your diary entries are automatically "
            "saved (along with all your video data) when you exit the software<br><br><br>\r\n";
    for (std::size_t k = n; k >= 1; --k) {
        const DiaryEntry& entry = data.DiaryEntries[k - 1];
        body += "<a href='" + CommandLink(link::kDiaryEntry, std::to_string(k)) + "'>" +
                FormatDiaryDate(system, entry.timestamp, data.MonthFirstDates) + "</a> &nbsp; - &nbsp; " +
                EscapeDiaryText(entry.text) + "<br><br>\r\n";
    }
    if (n > 0) body += SeparatorLine();

    return FillTemplate(pageTemplate, body, "", heading, "", "Your " + niche + " Diary");
}

bool WriteDiaryPage(Ui& ui, System& system, const UserData& data, const ContentSite& site) {
    return WriteWholeFile(ui, site.WorkFolder / kDiaryPage,
                          DiaryPageText(system, data, site.PageTemplate, site.Niche));
}

}  // namespace qen
