#pragma once
// The address the user is asked to open in their own browser, shown so it can be copied.
#include <string>

namespace qen {

class AddressDialog {
public:
    virtual ~AddressDialog() = default;
    // `message` above `address`, which sits in a selectable field with a Copy button.
    virtual void ShowAddressDialog(const std::string& message, const std::string& address) = 0;
};

}  // namespace qen
