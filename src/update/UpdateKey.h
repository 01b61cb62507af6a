#pragma once
// Where the key that updates are checked against comes from. It is trusted like the
// program itself: built in, or a key file beside the program taking its place.
#include <optional>
#include <string>
#include <string_view>

#include "base/Path.h"
#include "update/UpdateSignature.h"

namespace qen {

// The key file a distributor (or a test) puts in the program's folder: one line of 64
// hexadecimal digits, as "qen-release keygen" writes it.
constexpr std::string_view kUpdateKeyFileName = "update-key.pub";

// The key the build carries (CMake option QEN_UPDATE_PUBLIC_KEY), as hex; empty when none.
std::string_view BuiltInUpdateKey();

// The key file in `programFolder` when there is one, else the built-in key.
// nullopt when there is no key; a key file that does not hold a key counts as none, so a
// damaged file never falls back to another key.
std::optional<UpdatePublicKey> LoadUpdatePublicKey(const Path& programFolder,
                                                   std::string_view builtInKey = BuiltInUpdateKey());

}  // namespace qen
