#pragma once
// A store, a scripted user and a small page template for the notepad and diary tests.
#include <string>
#include <vector>

#include "fakes/FakeSystem.h"
#include "fakes/FakeUi.h"
#include "fakes/TempDir.h"
#include "package/ContentSite.h"
#include "store/VideoStore.h"

namespace qen::test {

// Every placeholder in view, so a page's text shows which value went where.
inline constexpr const char* kTestTemplate =
    "<title>%%pagetitle%%</title>[%%toplefttext%%][%%toprighttext%%][%%previousnext%%]\n%%videoposts%%";

class NotesFixture {
protected:
    FakeUi ui;
    FakeSystem system;
    VideoStore store;
    TempDir dir;
    int dialogsShown = 0;

    // The user types a title and a text into the note dialog and presses Save.
    void ScriptNoteSave(const std::string& title, const std::string& text) {
        ui.noteDialog = [this, title, text](NoteDialogState& state, const auto& decide) {
            ++dialogsShown;
            state.title = title;
            state.text = text;
            return decide(EditButton::Save, state);
        };
    }

    // The user picks a date (the picker shows it as `shown`), types a text and presses Save.
    void ScriptDiarySave(std::int64_t date, const std::string& text, const std::string& shown) {
        ui.diaryDialog = [this, date, text, shown](DiaryDialogState& state, const auto& decide) {
            ++dialogsShown;
            state.date = date;
            state.text = text;
            state.shownDate = shown;
            return decide(EditButton::Save, state);
        };
    }

    // The site the pages are written for.
    static ContentSite Site(const Path& workFolder, const std::string& pageTemplate, const std::string& niche) {
        ContentSite site;
        site.WorkFolder = workFolder;
        site.PageTemplate = pageTemplate;
        site.Niche = niche;
        return site;
    }

    std::vector<std::string> NoteTitles() const {
        std::vector<std::string> titles;
        for (const auto& note : store.Notes) titles.push_back(note.title);
        return titles;
    }

    std::vector<std::string> DiaryTexts() const {
        std::vector<std::string> texts;
        for (const auto& entry : store.DiaryEntries) texts.push_back(entry.text);
        return texts;
    }
};

// Seconds since 1970 of a UTC date and time (the fake system's local time is UTC).
constexpr std::int64_t Utc(int year, int month, int day, int hour = 0, int minute = 0) {
    // Days from the civil date, after Howard Hinnant's algorithm.
    year -= month <= 2;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yoe = year - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t days = static_cast<std::int64_t>(era) * 146097 + doe - 719468;
    return days * 86400 + hour * 3600 + minute * 60;
}

}  // namespace qen::test
