#include "qen-data/QenData.h"

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <set>
#include <type_traits>

#include "store/SavedLists.h"
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

namespace {

// The name under which an entry's time is also shown as a date, for people to read; an
// import passes over it.
constexpr const char* kDateKey = "date";

void PutField(Json& object, const char* key, const std::string& text) { object[key] = Text(text); }
void PutField(Json& object, const char* key, std::uint32_t seconds) {
    object[key] = seconds;
    object[kDateKey] = IsoDate(seconds);
}

void TakeField(const FieldReader& reader, const char* key, std::string& text) { text = reader.Str(key); }
void TakeField(const FieldReader& reader, const char* key, std::uint32_t& seconds) {
    seconds = static_cast<std::uint32_t>(reader.Int(key, 0, UINT32_MAX));
}

template <typename List>
Json EntryJson(const List& list, const typename List::Entry& entry) {
    if constexpr (std::is_same_v<typename List::Entry, std::string>) {
        return Text(entry);
    } else {
        Json object = Json::object();
        list.ForEachField([&](const auto& field) { PutField(object, field.key, field.Of(entry)); });
        return object;
    }
}

template <typename List>
typename List::Entry EntryFromJson(const List& list, const Json& item, const std::string& where) {
    typename List::Entry entry{};
    if constexpr (std::is_same_v<typename List::Entry, std::string>) {
        if (!item.is_string()) throw where + " is not a text";
        entry = Utf8ToAnsi(item.get_ref<const std::string&>());
    } else {
        std::set<std::string> keys;
        list.ForEachField([&](const auto& field) {
            keys.insert(field.key);
            if constexpr (std::is_same_v<std::remove_cvref_t<decltype(field.Of(entry))>, std::uint32_t>)
                keys.insert(kDateKey);
        });
        const FieldReader reader(item, where, keys);
        list.ForEachField([&](const auto& field) { TakeField(reader, field.key, field.Of(entry)); });
    }
    return entry;
}

}  // namespace

std::string ExportJson(const UserData& d) {
    Json root = Json::object();
    root["MonthFirstDates"] = d.MonthFirstDates;
    root["ViewedArticleKeys"] = Text(d.ViewedArticleKeys);
    ForEachSavedListInCountOrder([&](const auto& list, std::size_t) {
        Json entries = Json::array();
        for (const auto& entry : d.*list.entries) entries.push_back(EntryJson(list, entry));
        root[list.key] = std::move(entries);
    });
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
        std::set<std::string> keys = {"MonthFirstDates", "ViewedArticleKeys"};
        ForEachSavedList([&](const auto& list, std::size_t) { keys.insert(list.key); });
        const FieldReader top(root, "the store", keys);
        d.MonthFirstDates = static_cast<std::int32_t>(top.Int("MonthFirstDates", INT32_MIN, INT32_MAX));
        d.ViewedArticleKeys = top.Str("ViewedArticleKeys");
        ForEachSavedListInCountOrder([&](const auto& list, std::size_t) {
            const Json& items = top.List(list.key, list.capacity);
            auto& entries = d.*list.entries;
            for (std::size_t i = 0; i < items.size(); ++i)
                entries.push_back(EntryFromJson(list, items[i], Item(list.key, i)));
        });
        out = std::move(d);
        return true;
    } catch (const std::string& message) {
        error = message;
        return false;
    }
}

std::string CountOf(std::size_t list, std::size_t count) {
    const SavedListInfo& name = SavedListAt(list);
    return CountText(count, name.one, name.many);
}

std::string CheckImage(std::string_view image, bool& sound) {
    UserData d;
    UserDataDamage damage;
    sound = DecodeUserData(image, d, &damage);
    if (!sound) return damage.Describe();
    std::string report = "sound: ";
    ForEachSavedList([&](const auto& list, std::size_t position) {
        report += (position ? ", " : "") + CountOf(position, (d.*list.entries).size());
    });
    return report;
}

std::string DescribeSalvage(const UserDataSalvage& salvage) {
    std::string kept = "the date order and the viewed article keys";
    for (std::size_t list = 0; list < salvage.listsKept; ++list)
        kept += ", " + CountOf(list, salvage.countsInFile[list]);
    std::string lost;
    for (std::size_t list = salvage.listsKept; list < kSavedListCount; ++list) {
        if (salvage.countsInFile[list] == 0) continue;
        lost += (lost.empty() ? "" : ", ") + CountOf(list, salvage.countsInFile[list]);
    }
    return "kept: " + kept + "\nlost: " + (lost.empty() ? "nothing" : lost) + "\n";
}

}  // namespace qen::qendata
