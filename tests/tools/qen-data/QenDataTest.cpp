#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "qen-data/QenData.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/TempDir.h"
#include "fakes/ToolRun.h"
#include "files/FileIO.h"
#include "store/UserDataFile.h"
#include "update/VersionFile.h"

namespace qen::qendata {
namespace {

using test::At;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

using Result = test::ToolResult;
Result RunTool(const std::vector<std::string>& args) { return test::RunTool(Run, args); }

std::string AllBytes() {
    std::string s;
    for (int b = 1; b < 256; ++b) s.push_back(static_cast<char>(b));
    s.push_back('\0');
    return s;
}

UserData FullStore() {
    UserData d;
    const std::string bytes = AllBytes();
    for (std::size_t i = 0; i < UserData::kMaxCurrentVideos; ++i)
        d.CurrentVideos.push_back({"v" + std::to_string(i), i == 0 ? bytes : "Title &#8364; " + std::to_string(i)});
    for (std::size_t i = 0; i < UserData::kMaxDeletedVideoIds; ++i) d.DeletedVideoIds.push_back("d" + std::to_string(i));
    for (std::size_t i = 0; i < UserData::kMaxPlaylist; ++i) d.Playlist.push_back({"p" + std::to_string(i), "P\xE9"});
    for (std::size_t i = 0; i < UserData::kMaxSavedArticles; ++i)
        d.SavedArticles.push_back({"k" + std::to_string(i), std::string(300, 'a')});
    for (std::size_t i = 0; i < UserData::kMaxNotes; ++i)
        d.Notes.push_back({"note " + std::to_string(i), i == 0 ? std::string(70000, 'n') : "line\r\nline"});
    for (std::size_t i = 0; i < UserData::kMaxDiaryEntries; ++i)
        d.DiaryEntries.push_back({i == 0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(i * 1000), "entry \x93quoted\x94"});
    d.ViewedArticleKeys = " k1 k2 ";
    d.MonthFirstDates = 0;
    return d;
}

TEST(QenData, FullCapacityStoreRoundTripsByteForByte) {
    TempDir dir;
    const std::string original = EncodeUserData(FullStore());
    WriteFile(At(dir, "in.lum"), original);

    const Result exported = RunTool({"export", At(dir, "in.lum")});
    ASSERT_EQ(exported.code, 0) << exported.err;
    WriteFile(At(dir, "store.json"), exported.out);
    const Result imported = RunTool({"import", At(dir, "store.json"), At(dir, "out.lum")});
    ASSERT_EQ(imported.code, 0) << imported.err;
    EXPECT_TRUE(ReadFile(At(dir, "out.lum")) == original);
    EXPECT_FALSE(test::Exists(At(dir, "out.lum.saving")));
}

TEST(QenData, ExportShowsUtf8TextAndReadableDates) {
    UserData d;
    d.Notes.push_back({"caf\xE9", "\x80 5 &#8364;"});
    d.DiaryEntries.push_back({1700000000u, "x"});
    const std::string json = ExportJson(d);
    EXPECT_NE(json.find("\"title\": \"caf\xC3\xA9\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"text\": \"\xE2\x82\xAC 5 &#8364;\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"timestamp\": 1700000000"), std::string::npos) << json;
    EXPECT_NE(json.find("\"date\": \"2023-11-14T22:13:20Z\""), std::string::npos) << json;
}

TEST(QenData, TextConversions) {
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(AllBytes())), AllBytes());
    // Characters outside cp1252 become references, as the runtime carries them.
    EXPECT_EQ(Utf8ToAnsi("\xE2\x82\xAC\xC5\x81\xF0\x9F\x98\x80"), "\x80&#321;&#128512;");
    EXPECT_EQ(IsoDate(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(IsoDate(0xFFFFFFFFu), "2106-02-07T06:28:15Z");
}

TEST(QenData, ImportRejectsWhatTheRuntimeCouldNotLoad) {
    const std::string good = ExportJson(UserData{});
    auto with = [&](const std::string& from, const std::string& to) {
        std::string json = good;
        const auto at = json.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return json.replace(at, from.size(), to);
    };
    std::string tooMany = "[";
    for (std::size_t i = 0; i <= UserData::kMaxNotes; ++i) tooMany += std::string(i ? "," : "") + R"({"title":"t","text":""})";
    tooMany += "]";

    struct Case {
        std::string json, error;
    };
    const Case cases[] = {
        {"{", "not valid JSON (or not UTF-8)"},
        {"{\"Notes\": \"\xFF\"}", "not valid JSON (or not UTF-8)"},
        {"[]", "the store is not an object"},
        {with("\"Notes\": []", "\"Notes\": " + tooMany), "Notes holds 1001 entries, above its capacity of 1000"},
        {with("\"Notes\": []", "\"Notes\": [{\"title\": 1, \"text\": \"\"}]"), "Notes[0].title is not a text"},
        {with("\"Notes\": []", "\"Notes\": [{\"title\": \"a\"}]"), "Notes[0] has no field \"text\""},
        {with("\"MonthFirstDates\": 1", "\"MonthFirstDates\": 1, \"Extra\": 2"),
         "the store has an unknown field \"Extra\""},
        {with("\"DiaryEntries\": []", "\"DiaryEntries\": [{\"timestamp\": -1, \"date\": \"\", \"text\": \"\"}]"),
         "DiaryEntries[0].timestamp is outside 0 to 4294967295"},
        {with("\"DiaryEntries\": []",
              "\"DiaryEntries\": [{\"timestamp\": 4294967296, \"date\": \"\", \"text\": \"\"}]"),
         "DiaryEntries[0].timestamp is outside 0 to 4294967295"},
        {with("\"MonthFirstDates\": 1", "\"MonthFirstDates\": 1.5"), "the store.MonthFirstDates is not a whole number"},
        {with("\"DeletedVideoIds\": []", "\"DeletedVideoIds\": [null]"), "DeletedVideoIds[0] is not a text"},
    };
    TempDir dir;
    WriteFile(At(dir, "keep.lum"), "previous");
    for (const auto& c : cases) {
        UserData out;
        std::string error;
        EXPECT_FALSE(ImportJson(c.json, out, error)) << c.json;
        EXPECT_EQ(error, c.error);

        WriteFile(At(dir, "bad.json"), c.json);
        const Result r = RunTool({"import", At(dir, "bad.json"), At(dir, "keep.lum")});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(ReadFile(At(dir, "keep.lum")), "previous");
    }
}

TEST(QenData, CheckSaysWhereAFileBreaks) {
    TempDir dir;
    UserData d;
    d.Playlist = {{"a", "A"}, {"b", "B"}};
    d.Notes = {{"n", "t"}};
    const std::string image = EncodeUserData(d);
    WriteFile(At(dir, "good.lum"), image);
    WriteFile(At(dir, "short.lum"), image.substr(0, image.size() - 18));
    std::string tooMany = image;
    tooMany[20] = static_cast<char>(0xE9);  // the count of notes becomes 1001
    tooMany[21] = 0x03;
    WriteFile(At(dir, "many.lum"), tooMany);

    const Result good = RunTool({"check", At(dir, "good.lum")});
    EXPECT_EQ(good.code, 0);
    EXPECT_EQ(good.out, At(dir, "good.lum") +
                            ": sound: 0 deleted video ids, 0 current videos, 2 playlist entries, 0 saved articles, "
                            "1 note, 0 diary entries\n");
    EXPECT_EQ(good.err, "");

    struct Case {
        std::string file;
        std::string damage;
    };
    const Case cases[] = {
        {At(dir, "short.lum"), "damaged at byte 39: playlist title 2 runs past the end of the file"},
        {At(dir, "many.lum"), "damaged at byte 20: count of notes is 1001, above the capacity of 1000"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"check", "export"}) {
            const Result bad = RunTool({command, c.file});
            EXPECT_EQ(bad.code, 1) << command;
            EXPECT_EQ(bad.out, "") << command;
            EXPECT_EQ(bad.err, "qen-data: " + c.file + ": " + c.damage + "\n") << command;
        }
    }
}

TEST(QenData, HelpVersionAndUsageErrors) {
    for (const char* help : {"--help", "-h"}) {
        const Result r = RunTool({help});
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.out, kQenDataUsage);
        EXPECT_EQ(r.err, "");
    }
    const Result version = RunTool({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "qen-data " + std::to_string(RunningVersion()) + "\n");

    struct Case {
        std::vector<std::string> args;
        std::string reason;
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"frobnicate", "x"}, "unknown command frobnicate"},
        {{"export"}, "export takes one file"},
        {{"check", "a", "b"}, "check takes one file"},
        {{"import", "a.json"}, "import takes two files"},
        {{"salvage", "a.lum"}, "salvage takes two files"},
    };
    for (const Case& c : cases) {
        const Result r = RunTool(c.args);
        EXPECT_EQ(r.code, 2) << c.reason;
        EXPECT_EQ(r.out, "") << c.reason;
        EXPECT_EQ(r.err, "qen-data: " + c.reason + "\n" + kQenDataUsage);
    }
}

// A folder, a device, a pipe or a file above the file module's limit: refused at once
// with one line and exit code 2, whichever command reads it.
TEST(QenData, UnreadableInputsAreRefusedWithoutBlocking) {
    TempDir dir;
    const std::string folder = At(dir, "folder");
    const std::string fifo = At(dir, "fifo");
    const std::string huge = At(dir, "huge");
    test::MakeFolders(dir / "folder");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    WriteFile(huge, "");
    std::filesystem::resize_file(huge, kMaxReadableFileSize + 1);  // sparse: costs no disk
    const std::pair<std::string, std::string> inputs[] = {
        {folder, "it is not a file"},
        {"/dev/null", "it is not a file"},
        {fifo, "it is not a file"},
        {huge, "the file is too large"},
    };
    for (const auto& [input, reason] : inputs) {
        for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
                 {"check", input}, {"export", input}, {"import", input, At(dir, "out.lum")},
                 {"salvage", input, At(dir, "out.lum")}}) {
            const Result r = RunTool(args);
            EXPECT_EQ(r.code, 2) << args[0] << " " << input;
            EXPECT_EQ(r.err, "qen-data: cannot read " + input + ": " + reason + "\n");
            EXPECT_FALSE(test::Exists(At(dir, "out.lum")));
        }
    }
}

TEST(QenData, ImportThatCannotBeWrittenFailsAndKeepsTheOldFile) {
    TempDir dir;
    WriteFile(At(dir, "store.json"), ExportJson(FullStore()));
    WriteFile(At(dir, "user.lum"), "previous");
    test::MakeFolders(dir / "folder.lum");
    struct Case {
        const char* why;
        std::string target;
        std::size_t sizeLimit;
        std::string reason;
    };
    const Case cases[] = {
        {"the disk fills up", At(dir, "user.lum"), 1000, "the file is larger than this system allows"},
        {"a folder in the way", At(dir, "folder.lum"), 1 << 30, "it is not a file"},
        {"no such folder", At(dir, "gone/user.lum"), 1 << 30, "the file or its folder does not exist"},
    };
    for (const Case& c : cases) {
        Result r;
        {
            test::FileSizeLimit limit(c.sizeLimit);
            r = RunTool({"import", At(dir, "store.json"), c.target});
        }
        EXPECT_EQ(r.code, 2) << c.why;
        EXPECT_EQ(r.err, "qen-data: cannot write " + c.target + ": " + c.reason + "\n") << c.why;
        EXPECT_EQ(ReadFile(At(dir, "user.lum")), "previous") << c.why;
        EXPECT_FALSE(test::Exists(c.target + ".saving")) << c.why;
    }
}

UserData SalvageFixture() {
    UserData d;
    d.CurrentVideos = {{"v1", "Sit"}, {"v2", "Stay"}};
    d.DeletedVideoIds = {"gone"};
    d.Playlist = {{"v2", "Stay"}};
    d.Notes = {{"alpha", "first note"}, {"beta", "second note"}};
    d.DiaryEntries = {{100, "walk"}};
    d.ViewedArticleKeys = " k1 ";
    d.MonthFirstDates = 0;
    return d;
}

TEST(QenData, SalvageKeepsWhatReadsWholeInANewFile) {
    TempDir dir;
    const std::string image = EncodeUserData(SalvageFixture());
    const std::string damaged = image.substr(0, image.find("second note") + 3);  // cut in the notes
    WriteFile(At(dir, "user.lum"), damaged);

    const Result r = RunTool({"salvage", At(dir, "user.lum"), At(dir, "saved.lum")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, At(dir, "user.lum") + ": damaged at byte " + std::to_string(image.find("second note") - 1) +
                         ": note text 2 runs past the end of the file\n"
                         "kept: the date order and the viewed article keys, 1 deleted video id, 2 current videos, "
                         "1 playlist entry, 0 saved articles\n"
                         "lost: 2 notes, 1 diary entry\n"
                         "wrote " + At(dir, "saved.lum") + "\n");
    UserData expected = SalvageFixture();
    expected.Notes.clear();
    expected.DiaryEntries.clear();
    UserData saved;
    ASSERT_TRUE(DecodeUserData(ReadFile(At(dir, "saved.lum")), saved));
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(ReadFile(At(dir, "user.lum")), damaged);

    // A sound file is kept whole.
    WriteFile(At(dir, "sound.lum"), image);
    const Result sound = RunTool({"salvage", At(dir, "sound.lum"), At(dir, "copy.lum")});
    ASSERT_EQ(sound.code, 0) << sound.err;
    EXPECT_NE(sound.out.find(": sound\n"), std::string::npos) << sound.out;
    EXPECT_NE(sound.out.find("\nlost: nothing\n"), std::string::npos) << sound.out;
    EXPECT_EQ(ReadFile(At(dir, "copy.lum")), image);
}

TEST(QenData, SalvageNeverWritesOverTheDamagedFile) {
    TempDir dir;
    const std::string image = EncodeUserData(SalvageFixture());
    const std::string damaged = image.substr(0, image.size() - 5);
    WriteFile(At(dir, "user.lum"), damaged);
    std::filesystem::create_symlink(At(dir, "user.lum"), At(dir, "link.lum"));
    std::filesystem::create_hard_link(At(dir, "user.lum"), At(dir, "hard.lum"));
    for (const std::string& out : {At(dir, "user.lum"), At(dir, "link.lum"), At(dir, "hard.lum"),
                                   dir.path().Bytes() + "./user.lum"}) {
        const Result r = RunTool({"salvage", At(dir, "user.lum"), out});
        EXPECT_EQ(r.code, 2) << out;
        EXPECT_EQ(r.err, "qen-data: " + out + " is " + At(dir, "user.lum") + " itself; salvage writes to a new file\n");
        EXPECT_EQ(ReadFile(At(dir, "user.lum")), damaged);
    }

    // Nothing to keep: nothing is written.
    WriteFile(At(dir, "header.lum"), image.substr(0, 10));
    const Result none = RunTool({"salvage", At(dir, "header.lum"), At(dir, "out.lum")});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err, "qen-data: " + At(dir, "header.lum") +
                            ": nothing can be salvaged: damaged at byte 8: count of deleted video ids runs past the "
                            "end of the file\n");
    EXPECT_FALSE(test::Exists(At(dir, "out.lum")));
}

// "import -" takes the JSON from standard input, so an export piped into an import
// gives the same file back.
TEST(QenData, ExportPipedIntoImportGivesTheSameFile) {
    TempDir dir;
    const std::string image = EncodeUserData(FullStore());
    WriteFile(At(dir, "a.lum"), image);
    const std::string tool = "'" + std::string(QEN_TOOL_PROGRAM) + "' ";
    const std::string pipeline = tool + "export '" + At(dir, "a.lum") + "' | " + tool + "import - '" +
                                 At(dir, "b.lum") + "'";
    ASSERT_EQ(std::system(pipeline.c_str()), 0);
    EXPECT_EQ(ReadFile(At(dir, "b.lum")), image);
}

TEST(QenData, ImportFromStandardInputIsCheckedLikeAFile) {
    TempDir dir;
    WriteFile(At(dir, "user.lum"), "previous");
    struct Case {
        const char* why;
        std::string input;
        int code;
        std::string err;
    };
    const Case cases[] = {
        {"sound JSON", ExportJson(SalvageFixture()), 0, ""},
        {"nothing at all", "", 1, "qen-data: standard input: not valid JSON (or not UTF-8)\n"},
        {"a store with a field too many", "{\"Extra\": 1}", 1, "qen-data: standard input: the store has an unknown field \"Extra\"\n"},
    };
    for (const Case& c : cases) {
        WriteFile(At(dir, "user.lum"), "previous");
        std::istringstream in(c.input);
        std::ostringstream out, err;
        EXPECT_EQ(qendata::Run({"import", "-", At(dir, "user.lum")}, in, out, err), c.code) << c.why;
        EXPECT_EQ(err.str(), c.err) << c.why;
        EXPECT_EQ(ReadFile(At(dir, "user.lum")), c.code == 0 ? EncodeUserData(SalvageFixture()) : "previous") << c.why;
    }
}

TEST(QenData, StandardInputIsReadUpToTheLimit) {
    const std::string big(200000, 'x');  // more than one read's worth
    const struct {
        std::uintmax_t limit;
        bool kept;
    } cases[] = {{big.size(), true}, {big.size() + 1, true}, {big.size() - 1, false}, {0, false}};
    for (const auto& c : cases) {
        std::istringstream in(big);
        const std::optional<std::string> read = ReadAllInput(in, c.limit);
        EXPECT_EQ(read.has_value(), c.kept) << c.limit;
        if (read) {
            EXPECT_EQ(*read, big);
        }
    }
    std::istringstream empty("");
    EXPECT_EQ(ReadAllInput(empty, 0), std::string());
}

}  // namespace
}  // namespace qen::qendata
