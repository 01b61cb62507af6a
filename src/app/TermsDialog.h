#pragma once
// The terms dialog, as the terms check sees it; the toolkit shows it.
#include <string>

namespace qen {

class TermsDialog {
public:
    virtual ~TermsDialog() = default;
    // True when the user pressed "Yes".
    virtual bool ShowTermsDialog(const std::string& caption, const std::string& termsText) = 0;
};

}  // namespace qen
