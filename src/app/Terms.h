#pragma once
// Acceptance of the terms of use, once per product.
#include <string>

#include "app/TermsDialog.h"

namespace qen {

class Ui;
class Settings;

// The terms shown when the package is carried inside the program file, and otherwise.
const std::string& EmbeddedPackageTerms();
const std::string& SeparatePackageTerms();

// Shows the terms dialog. "Yes" writes "Terms" = 1 to the product's section and gives true;
// anything else writes nothing and gives false: the caller ends the program with exit code 1,
// once it has let go of what this run holds.
bool AskForTerms(Ui& ui, TermsDialog& dialog, Settings& settings, const std::string& productKey, bool embedded);

// "Terms" is set (any value but 0): no dialog will be shown.
bool TermsAcceptedBefore(Settings& settings, const std::string& productKey);

enum class TermsAnswer { AcceptedBefore, AcceptedNow, Declined };

// Asks unless "Terms" is already set (any value but 0). AcceptedNow lets the first page be
// the help page.
TermsAnswer EnsureTermsAccepted(Ui& ui, TermsDialog& dialog, Settings& settings, const std::string& productKey,
                                bool embedded);

}  // namespace qen
