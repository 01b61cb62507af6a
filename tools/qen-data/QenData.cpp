#include "qen-data/QenData.h"

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <set>

#include "store/UserDataFile.h"
#include "text/CountText.h"
#include "text/TextEncoding.h"

namespace qen::qendata {

namespace {

using Json = nlohmann::ordered_json;

Json Text(const std::string& ansi) { return AnsiToUtf8(ansi); }

// Reads one JSON object with exactly the named fields; throws a message on mismatch.
struct FieldReader {
    const Json& object;
    std::string where;

    FieldReader(const Json& o, std::string w, std::set<std::string> fields) : object(o), where(std::move(w)) {
        if (!object.is_object()) throw where + " is not an object";
        for (const auto& [key, value] : object.items())
            if (!fields.count(key)) throw where + " has an unknown field \"" + key + "\"";
        for (const auto& field : fields)
            if (!object.contains(field)) throw where + " has no field \"" + field + "\"";
    }

    std::string Str(const std::string& field) const {
        const Json& v = object.at(field);
        if (!v.is_string()) throw where + "." + field + " is not a text";
        return Utf8ToAnsi(v.get_ref<const std::string&>());
    }

    std::int64_t Int(const std::string& field, std::int64_t low, std::int64_t high) const {
        const Json& v = object.at(field);
        if (!v.is_number_integer()) throw where + "." + field + " is not a whole number";
        const std::int64_t n = v.is_number_unsigned() && v.get<std::uint64_t>() > static_cast<std::uint64_t>(high)
                                   ? high + 1
                                   : v.get<std::int64_t>();
        if (n < low || n > high)
            throw where + "." + field + " is outside " + std::to_string(low) + " to " + std::to_string(high);
        return n;
    }

    const Json& List(const std::string& field, std::size_t capacity) const {
        const Json& v = object.at(field);
        if (!v.is_array()) throw field + " is not a list";
        if (v.size() > capacity)
            throw field + " holds " + std::to_string(v.size()) + " entries, above its capacity of " +
                std::to_string(capacity);
        return v;
    }
};

std::string Item(const char* list, std::size_t i) { return std::string(list) + "[" + std::to_string(i) + "]"; }

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) { return SystemTextToUtf8(ansi, References::Keep); }

std::string Utf8ToAnsi(std::string_view utf8) { return Utf8ToSystemText(utf8, Ampersands::Keep); }

std::string IsoDate(std::uint32_t secondsSince1970) {
    using namespace std::chrono;
    const sys_seconds time{seconds{secondsSince1970}};
    const auto day = floor<days>(time);
    const year_month_day ymd{day};
    const hh_mm_ss hms{time - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                  static_cast<int>(hms.seconds().count()));
    return text;
}

std::string ExportJson(const UserData& d) {
    Json root = Json::object();
    root["MonthFirstDates"] = d.MonthFirstDates;
    root["ViewedArticleKeys"] = Text(d.ViewedArticleKeys);
    auto videos = [](const std::vector<VideoEntry>& list) {
        Json out = Json::array();
        for (const auto& v : list) out.push_back(Json{{"id", Text(v.id)}, {"title", Text(v.title)}});
        return out;
    };
    root["CurrentVideos"] = videos(d.CurrentVideos);
    root["DeletedVideoIds"] = Json::array();
    for (const auto& id : d.DeletedVideoIds) root["DeletedVideoIds"].push_back(Text(id));
    root["Playlist"] = videos(d.Playlist);
    root["SavedArticles"] = Json::array();
    for (const auto& a : d.SavedArticles) root["SavedArticles"].push_back(Json{{"key", Text(a.key)}, {"title", Text(a.title)}});
    root["Notes"] = Json::array();
    for (const auto& n : d.Notes) root["Notes"].push_back(Json{{"title", Text(n.title)}, {"text", Text(n.text)}});
    root["DiaryEntries"] = Json::array();
    for (const auto& e : d.DiaryEntries)
        root["DiaryEntries"].push_back(
            Json{{"timestamp", e.timestamp}, {"date", IsoDate(e.timestamp)}, {"text", Text(e.text)}});
    return root.dump(2) + "\n";
}

bool ImportJson(std::string_view json, UserData& out, std::string& error) {
    Json root = Json::parse(json.begin(), json.end(), nullptr, false);
    if (root.is_discarded()) {
        error = "not valid JSON (or not UTF-8)";
        return false;
    }
    try {
        UserData d;
        FieldReader top(root, "the store",
                        {"MonthFirstDates", "ViewedArticleKeys", "CurrentVideos", "DeletedVideoIds", "Playlist",
                         "SavedArticles", "Notes", "DiaryEntries"});
        d.MonthFirstDates = static_cast<std::int32_t>(top.Int("MonthFirstDates", INT32_MIN, INT32_MAX));
        d.ViewedArticleKeys = top.Str("ViewedArticleKeys");

        const Json& current = top.List("CurrentVideos", UserData::kMaxCurrentVideos);
        for (std::size_t i = 0; i < current.size(); ++i) {
            FieldReader r(current[i], Item("CurrentVideos", i), {"id", "title"});
            d.CurrentVideos.push_back({r.Str("id"), r.Str("title")});
        }
        const Json& deleted = top.List("DeletedVideoIds", UserData::kMaxDeletedVideoIds);
        for (std::size_t i = 0; i < deleted.size(); ++i) {
            if (!deleted[i].is_string()) throw Item("DeletedVideoIds", i) + " is not a text";
            d.DeletedVideoIds.push_back(Utf8ToAnsi(deleted[i].get_ref<const std::string&>()));
        }
        const Json& playlist = top.List("Playlist", UserData::kMaxPlaylist);
        for (std::size_t i = 0; i < playlist.size(); ++i) {
            FieldReader r(playlist[i], Item("Playlist", i), {"id", "title"});
            d.Playlist.push_back({r.Str("id"), r.Str("title")});
        }
        const Json& saved = top.List("SavedArticles", UserData::kMaxSavedArticles);
        for (std::size_t i = 0; i < saved.size(); ++i) {
            FieldReader r(saved[i], Item("SavedArticles", i), {"key", "title"});
            d.SavedArticles.push_back({r.Str("key"), r.Str("title")});
        }
        const Json& notes = top.List("Notes", UserData::kMaxNotes);
        for (std::size_t i = 0; i < notes.size(); ++i) {
            FieldReader r(notes[i], Item("Notes", i), {"title", "text"});
            d.Notes.push_back({r.Str("title"), r.Str("text")});
        }
        const Json& diary = top.List("DiaryEntries", UserData::kMaxDiaryEntries);
        for (std::size_t i = 0; i < diary.size(); ++i) {
            // "date" is there for people to read; the timestamp is what counts.
            FieldReader r(diary[i], Item("DiaryEntries", i), {"timestamp", "date", "text"});
            d.DiaryEntries.push_back(
                {static_cast<std::uint32_t>(r.Int("timestamp", 0, UINT32_MAX)), r.Str("text")});
        }
        out = std::move(d);
        return true;
    } catch (const std::string& message) {
        error = message;
        return false;
    }
}


std::string CountOf(std::size_t list, std::size_t count) {
    const UserDataListName& name = kUserDataListNames[list];
    return CountText(count, name.one, name.many);
}

std::string CheckImage(std::string_view image, bool& sound) {
    UserData d;
    UserDataDamage damage;
    sound = DecodeUserData(image, d, &damage);
    if (!sound) return damage.Describe();
    const std::size_t counts[kUserDataListCount] = {d.DeletedVideoIds.size(), d.CurrentVideos.size(),
                                                    d.Playlist.size(),        d.SavedArticles.size(),
                                                    d.Notes.size(),           d.DiaryEntries.size()};
    std::string report = "sound: ";
    for (std::size_t list = 0; list < kUserDataListCount; ++list)
        report += (list ? ", " : "") + CountOf(list, counts[list]);
    return report;
}

std::string DescribeSalvage(const UserDataSalvage& salvage) {
    std::string kept = "the date order and the viewed article keys";
    for (std::size_t list = 0; list < salvage.listsKept; ++list)
        kept += ", " + CountOf(list, salvage.countsInFile[list]);
    std::string lost;
    for (std::size_t list = salvage.listsKept; list < kUserDataListCount; ++list) {
        if (salvage.countsInFile[list] == 0) continue;
        lost += (lost.empty() ? "" : ", ") + CountOf(list, salvage.countsInFile[list]);
    }
    return "kept: " + kept + "\nlost: " + (lost.empty() ? "nothing" : lost) + "\n";
}

}  // namespace qen::qendata
