#pragma once
// A number with the word that agrees with it, for the program's own messages.
#include <cstdint>
#include <string>
#include <string_view>

namespace qen {

// "1 file", "0 files", "2 files"; `many` is given whole, as English plurals are irregular
// ("entry", "entries").
inline std::string CountText(std::uintmax_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace qen
