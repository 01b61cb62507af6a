// Loads arbitrary bytes as a user data file: decoding must never crash, read out of
// bounds or allocate beyond what the bytes can hold, and whatever it accepts must
// come back unchanged through a save and a second load.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/UserDataFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view image(reinterpret_cast<const char*>(data), size);
    qen::UserData store;
    if (!qen::DecodeUserData(image, store)) return 0;
    qen::UserData again;
    if (!qen::DecodeUserData(qen::EncodeUserData(store), again) || !(again == store)) std::abort();
    return 0;
}
