#include "store/UserDataFile.h"

#include <algorithm>
#include <array>

#include "text/TextEncoding.h"

namespace qen {

std::string UserDataDamage::Describe() const {
    return "damaged at byte " + std::to_string(offset) + ": " + where + " " + why;
}

namespace {

void AppendU16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void AppendU32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void AppendI32(std::string& out, std::int32_t v) { AppendU32(out, static_cast<std::uint32_t>(v)); }

void AppendCount(std::string& out, std::size_t n) { AppendI32(out, static_cast<std::int32_t>(n)); }

// Reads the image front to back; the first failure is remembered and every later
// read fails too, so the decoder can read straight through and test once.
class Reader {
public:
    explicit Reader(std::string_view image) : image_(image) {}

    bool failed() const { return failed_; }
    std::size_t offset() const { return pos_; }
    const UserDataDamage& damage() const { return damage_; }

    std::size_t remaining() const { return image_.size() - pos_; }

    // Damage is reported at the start of the field being read: `what`, numbered from 1
    // when it is one of a list. The name is only spelt out for damage, since a full file
    // has tens of thousands of fields.
    void SetField(const char* what, std::size_t index = kNotInList) {
        what_ = what;
        lead_ = "";
        index_ = index;
        fieldStart_ = pos_;
    }
    // The count of a list, named by the list: "count of notes".
    void SetCountField(const char* many) {
        SetField(many);
        lead_ = "count of ";
    }

    bool Fail(std::string why) {
        if (!failed_) {
            failed_ = true;
            damage_.offset = fieldStart_;
            damage_.where = std::string(lead_) + what_;
            if (index_ != kNotInList) damage_.where += " " + std::to_string(index_ + 1);
            damage_.why = std::move(why);
        }
        return false;
    }

    bool Bytes(std::size_t n, std::string_view& out) {
        if (failed_) return false;
        if (image_.size() - pos_ < n) return Fail("runs past the end of the file");
        out = image_.substr(pos_, n);
        pos_ += n;
        return true;
    }

    bool U8(std::uint8_t& v) {
        std::string_view b;
        if (!Bytes(1, b)) return false;
        v = static_cast<std::uint8_t>(b[0]);
        return true;
    }

    bool U16(std::uint16_t& v) {
        std::string_view b;
        if (!Bytes(2, b)) return false;
        v = static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[0]) | (static_cast<std::uint8_t>(b[1]) << 8));
        return true;
    }

    bool U32(std::uint32_t& v) {
        std::string_view b;
        if (!Bytes(4, b)) return false;
        v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[static_cast<std::size_t>(i)]);
        return true;
    }

    bool Count(std::size_t capacity, std::size_t& n) {
        std::uint32_t raw = 0;
        if (!U32(raw)) return false;
        const auto value = static_cast<std::int32_t>(raw);
        if (value < 0) return Fail("is " + std::to_string(value) + ", below zero");
        if (static_cast<std::size_t>(value) > capacity)
            return Fail("is " + std::to_string(value) + ", above the capacity of " + std::to_string(capacity));
        n = static_cast<std::size_t>(value);
        return true;
    }

    // Length prefix; `utf16` is set for the 0xFF 0xFFFE form, whose real prefix follows.
    bool Length(std::uint32_t& length, bool& utf16) {
        utf16 = false;
        std::uint8_t first = 0;
        if (!U8(first)) return false;
        if (first < 0xFF) {
            length = first;
            return true;
        }
        std::uint16_t word = 0;
        if (!U16(word)) return false;
        if (word < 0xFFFE) {
            length = word;
            return true;
        }
        if (word == 0xFFFE) {
            utf16 = true;
            return true;
        }
        return U32(length);
    }

    bool String(std::string& out) {
        std::uint32_t length = 0;
        bool utf16 = false;
        if (!Length(length, utf16)) return false;
        if (utf16) {
            bool nested = false;
            if (!Length(length, nested)) return false;
            if (nested) return Fail("holds a second wide-string mark");
            // Bounded by what is left before anything is allocated.
            if ((image_.size() - pos_) / 2 < length) return Fail("runs past the end of the file");
            std::string_view units;
            Bytes(std::size_t{length} * 2, units);
            out = Utf16LeToAnsiWithReferences(units);
            return true;
        }
        std::string_view bytes;
        if (!Bytes(length, bytes)) return false;
        out = std::string(bytes);  // built at its size: cheaper than assigning over an empty one
        return true;
    }

    bool Field(std::string& text) { return String(text); }
    bool Field(std::uint32_t& number) { return U32(number); }

private:
    std::string_view image_;
    std::size_t pos_ = 0;
    static constexpr std::size_t kNotInList = static_cast<std::size_t>(-1);
    bool failed_ = false;
    const char* what_ = "";
    const char* lead_ = "";
    std::size_t index_ = kNotInList;
    std::size_t fieldStart_ = 0;
    UserDataDamage damage_;
};

}  // namespace

void AppendLumString(std::string& out, std::string_view text) {
    const std::size_t n = text.size();
    if (n < 255) {
        out.push_back(static_cast<char>(n));
    } else if (n < 65534) {
        out.push_back(static_cast<char>(0xFF));
        AppendU16(out, static_cast<std::uint16_t>(n));
    } else {
        out.push_back(static_cast<char>(0xFF));
        AppendU16(out, 0xFFFF);
        AppendU32(out, static_cast<std::uint32_t>(n));
    }
    out.append(text);
}

namespace {

void AppendField(std::string& out, const std::string& text) { AppendLumString(out, text); }
void AppendField(std::string& out, std::uint32_t number) { AppendU32(out, number); }

}  // namespace

std::string EncodeUserData(const UserData& d) {
    std::string out;
    AppendI32(out, kUserDataVersion);
    ForEachSavedListInCountOrder([&](const auto& list, std::size_t) { AppendCount(out, (d.*list.entries).size()); });
    AppendI32(out, d.MonthFirstDates);
    AppendLumString(out, d.ViewedArticleKeys);
    ForEachSavedList([&](const auto& list, std::size_t) {
        list.ForEachField([&](const auto& field) {
            for (const auto& entry : d.*list.entries) AppendField(out, field.Of(entry));
        });
    });
    for (auto word : kUserDataTrailer) AppendU32(out, word);
    return out;
}

namespace {

// As much of an image as reads whole, front to back.
struct Reading {
    UserData data;
    bool headerRead = false;  // the counts, the date order and the viewed article keys
    std::size_t listsRead = 0;  // lists read whole, in file order
    std::array<std::size_t, kSavedListCount> counts{};  // as the file states them
    bool sound = false;
    UserDataDamage damage;
};

Reading ReadUserData(std::string_view image) {
    Reading reading;
    Reader r(image);
    UserData& d = reading.data;
    std::uint32_t version = 0;
    std::uint32_t monthFirst = 0;

    r.SetField("version");
    r.U32(version);
    ForEachSavedListInCountOrder([&](const auto& list, std::size_t position) {
        r.SetCountField(list.many);
        r.Count(list.capacity, reading.counts[position]);
    });
    r.SetField("month-first flag");
    r.U32(monthFirst);
    d.MonthFirstDates = static_cast<std::int32_t>(monthFirst);
    r.SetField("viewed article keys");
    r.String(d.ViewedArticleKeys);
    reading.headerRead = !r.failed();

    ForEachSavedList([&](const auto& list, std::size_t position) {
        auto& entries = d.*list.entries;
        const std::size_t count = reading.counts[position];
        // Entries are added as they are read, and room is made only for as many as the bytes
        // left could hold (each takes at least one), so a count the file cannot back costs little.
        entries.reserve(std::min(count, r.remaining()));
        bool firstField = true;
        list.ForEachField([&](const auto& field) {
            for (std::size_t i = 0; i < count && !r.failed(); ++i) {
                r.SetField(field.label, i);
                r.Field(field.Of(firstField ? entries.emplace_back() : entries[i]));
            }
            firstField = false;
        });
        if (!r.failed()) ++reading.listsRead;
    });
    for (std::size_t i = 0; i < 3 && !r.failed(); ++i) {
        r.SetField("trailer word", i);
        std::uint32_t word = 0;
        if (r.U32(word) && word != kUserDataTrailer[i]) r.Fail("is wrong");
    }

    reading.sound = !r.failed();
    reading.damage = r.damage();
    return reading;
}

// Empties the lists from `position` on, in file order.
void ClearListsFrom(UserData& d, std::size_t first) {
    ForEachSavedList([&](const auto& list, std::size_t position) {
        if (position >= first) (d.*list.entries).clear();
    });
}

}  // namespace

bool DecodeUserData(std::string_view image, UserData& out, UserDataDamage* damage) {
    Reading reading = ReadUserData(image);
    if (!reading.sound) {
        if (damage) *damage = std::move(reading.damage);
        return false;
    }
    out = std::move(reading.data);
    return true;
}

UserDataSalvage SalvageUserData(std::string_view image) {
    Reading reading = ReadUserData(image);
    UserDataSalvage salvage;
    if (!reading.sound) salvage.damage = std::move(reading.damage);
    if (!reading.headerRead) return salvage;
    salvage.headerKept = true;
    salvage.listsKept = reading.listsRead;
    salvage.countsInFile = reading.counts;
    ClearListsFrom(reading.data, reading.listsRead);
    salvage.data = std::move(reading.data);
    return salvage;
}

}  // namespace qen
