#pragma once
// Acceptance of the terms of use, once per product.
#include <string>

namespace qen {

class Ui;
class Settings;
class System;

// The terms shown when the package is carried inside the program file, and otherwise.
const std::string& EmbeddedPackageTerms();
const std::string& SeparatePackageTerms();

// Shows the terms dialog. "Yes" writes "Terms" = 1 to the product's section and returns;
// anything else ends the process at once with exit code 1.
void AskForTerms(Ui& ui, Settings& settings, System& system, const std::string& productKey,
                 bool embedded);

// Asks unless "Terms" is already set (any value but 0). True when the terms were accepted
// during this call, so the first page can be the help page.
bool EnsureTermsAccepted(Ui& ui, Settings& settings, System& system, const std::string& productKey,
                         bool embedded);

}  // namespace qen
