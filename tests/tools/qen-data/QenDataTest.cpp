#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "qen-data/QenData.h"
#include "fakes/TempDir.h"
#include "store/UserDataFile.h"

namespace qen::qendata {
namespace {

std::string At(const test::TempDir& dir, const std::string& name) { return (dir / name).Bytes(); }

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct Result {
    int code;
    std::string out, err;
};

Result RunTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = Run(args, out, err);
    return {code, out.str(), err.str()};
}

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
    const std::string image = EncodeUserData(d);
    WriteFile(At(dir, "good.lum"), image);
    WriteFile(At(dir, "short.lum"), image.substr(0, image.size() - 14));

    const Result good = RunTool({"check", At(dir, "good.lum")});
    EXPECT_EQ(good.code, 0);
    EXPECT_EQ(good.out, At(dir, "good.lum") +
                            ": sound: 0 current videos, 0 deleted video ids, 2 playlist entries, 0 saved articles, "
                            "0 notes, 0 diary entries\n");

    const Result bad = RunTool({"check", At(dir, "short.lum")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.out, At(dir, "short.lum") + ": damaged at byte 39: playlist title 2 runs past the end of the file\n");

    const Result exported = RunTool({"export", At(dir, "short.lum")});
    EXPECT_EQ(exported.code, 1);
    EXPECT_TRUE(exported.out.empty());
    EXPECT_NE(exported.err.find("playlist title 2"), std::string::npos);
}

TEST(QenData, UsageAndFileErrors) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"export"}, {"import", "a.json"}, {"frobnicate", "x"}, {"check", "a", "b"}}) {
        const Result r = RunTool(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("usage: qen-data"), std::string::npos);
    }
    const Result missing = RunTool({"check", "/no/such/file.lum"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.err, "qen-data: cannot read /no/such/file.lum: the file does not exist\n");
}

}  // namespace
}  // namespace qen::qendata
