#pragma once
// The ".lum" user data file: a flat little-endian record of counts, strings and
// three trailer words that mark a complete file.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/SavedLists.h"
#include "store/VideoStore.h"

namespace qen {

inline constexpr std::uint32_t kUserDataTrailer[3] = {0x683B987Fu, 0x8910273Au, 0x1863BE5Cu};
inline constexpr std::int32_t kUserDataVersion = 1;

// The file image of `data`, as the runtime writes it.
std::string EncodeUserData(const UserData& data);

// Appends one string with its length prefix (1, 3 or 7 bytes).
void AppendLumString(std::string& out, std::string_view text);

// Where and why a file image could not be read.
struct UserDataDamage {
    std::size_t offset = 0;  // byte position where reading failed
    std::string where;       // the field, e.g. "playlist title 3"
    std::string why;         // e.g. "runs past the end of the file"

    // "damaged at byte N: <where> <why>".
    std::string Describe() const;
};

// Reads a whole file image into `out` (which is replaced as a whole). False when the
// image is damaged: cut short, a count below 0 or above its list's capacity, a string
// running past the end, or a wrong trailer word; `damage` then says where. Bytes after
// the trailer are ignored, as the runtime always has.
bool DecodeUserData(std::string_view image, UserData& out, UserDataDamage* damage = nullptr);

// What a damaged file still holds.
struct UserDataSalvage {
    // The counts, the date order and the viewed article keys, read before any list; when
    // they do not read, nothing does.
    bool headerKept = false;
    // The lists read whole before the damage, in file order; the damaged list and those
    // after it are empty in `data`.
    std::size_t listsKept = 0;
    UserData data;
    std::array<std::size_t, kSavedListCount> countsInFile{};  // as the file states them
    std::optional<UserDataDamage> damage;  // none for a sound file
};

// Reads every list that reads whole up to the damage. A sound file is kept whole.
UserDataSalvage SalvageUserData(std::string_view image);

}  // namespace qen
