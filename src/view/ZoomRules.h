#pragma once
// The zoom dialog's rules, given the text of its edit box.
#include <string>

namespace qen {

class Ui;

inline constexpr int kMinZoom = 1;
inline constexpr int kMaxZoom = 400;

// A spin step: +1 lowers, -1 raises, within 1..400; text that is no integer is kept.
std::string StepZoomText(const std::string& text, int delta);
// The zoom one key step up (+1) or down (-1) from `percent`: the next multiple of 10,
// within 1..400.
int SteppedZoom(int percent, int direction);
// Whether OK may close the dialog; shows why not.
bool AcceptZoomText(Ui& ui, const std::string& text);
// The zoom the text names, when it is an integer within 1..400.
bool ZoomFromText(const std::string& text, int& zoom);

}  // namespace qen
