#pragma once
// What the About command says.
#include <string>

namespace qen {

// The product, its version, the opened package's title and the licence, one to a line.
std::string AboutText(const std::string& packageTitle);

}  // namespace qen
