// Writing the notepad and diary pages of the largest notepad and diary (every note and
// entry the store holds) beside writing the same bytes as plain files: the ratio is what
// building the pages adds to the writing.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchFixtures.h"
#include "SideBySide.h"
#include "UserDataFixtures.h"
#include "notes/Diary.h"
#include "notes/Notepad.h"
#include "package/ContentSite.h"
#include "platform/headless/Headless.h"
#include "platform/posix/PosixSystem.h"

namespace {

using qen::bench::Clock;
using qen::bench::SideBySide;
using qen::bench::TempFolder;
using qen::bench::WritePlainFile;

struct NotesPages {
    TempFolder work{"notes"}, plain{"notes_plain"};
    qen::ContentSite site;
    qen::UserData data = qen::bench::MakeUserData(qen::bench::kFullUserData);
    qen::HeadlessUi ui;
    qen::PosixSystem system;

    NotesPages() {
        site.WorkFolder = qen::Path(work.Path());
        site.PageTemplate = qen::bench::PageTemplate();
        site.Niche = "Dog Training";
    }
};

// `write` beside writing `bytes` (what it writes) as a plain file; each side writes into
// its own folder over its own file of the round before.
template <typename Write>
void BesidePlainWrite(benchmark::State& state, NotesPages& pages, const std::string& bytes, Write write) {
    const std::string plainFile = pages.plain.File("page.html");
    SideBySide sides(state, Clock::Wall);
    for (auto _ : state)
        if (!sides.Round({write}, {[&] { return WritePlainFile(plainFile, bytes); }}))
            return state.SkipWithError("a page was not written");
    sides.Report();
    state.counters["page_bytes"] = static_cast<double>(bytes.size());
}

void BM_WriteNotepadPage_FullNotepad(benchmark::State& state) {
    NotesPages pages;
    const std::string bytes = qen::NotepadPageText(pages.data, pages.site.PageTemplate, pages.site.Niche);
    BesidePlainWrite(state, pages, bytes, [&] { return qen::WriteNotepadPage(pages.ui, pages.data, pages.site); });
}
BENCHMARK(BM_WriteNotepadPage_FullNotepad)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_WriteDiaryPage_FullDiary(benchmark::State& state) {
    NotesPages pages;
    const std::string bytes =
        qen::DiaryPageText(pages.system, pages.data, pages.site.PageTemplate, pages.site.Niche);
    BesidePlainWrite(state, pages, bytes,
                     [&] { return qen::WriteDiaryPage(pages.ui, pages.system, pages.data, pages.site); });
}
BENCHMARK(BM_WriteDiaryPage_FullDiary)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
