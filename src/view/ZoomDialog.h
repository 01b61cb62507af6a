#pragma once
// The zoom dialog, as the zoom rules see it; the toolkit shows it.
#include <functional>
#include <optional>
#include <string>

namespace qen {

class ZoomDialog {
public:
    virtual ~ZoomDialog() = default;
    // `step` turns the edit text and the spin control's reported delta into the new edit
    // text; `accept` decides whether OK may close the dialog (it shows its own messages).
    // Gives the accepted edit text, or nullopt on Cancel.
    virtual std::optional<std::string> ShowZoomDialog(
        const std::string& initialText, const std::function<std::string(const std::string& text, int delta)>& step,
        const std::function<bool(const std::string& text)>& accept) = 0;
};

}  // namespace qen
