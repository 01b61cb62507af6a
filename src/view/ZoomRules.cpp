#include "view/ZoomRules.h"

#include <algorithm>
#include <charconv>

#include "platform/Ui.h"

namespace qen {

namespace {

enum class ParsedInt { Ok, NotInteger, OutOfRange };

// The edit box read as an integer: optional blanks, an optional sign, digits, optional blanks.
ParsedInt ParseInteger(const std::string& text, int& value) {
    std::size_t begin = text.find_first_not_of(" \t");
    std::size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) return ParsedInt::NotInteger;
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    if (*first == '+') ++first;
    auto [stop, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) return ParsedInt::OutOfRange;
    if (error != std::errc() || stop != last) return ParsedInt::NotInteger;
    return ParsedInt::Ok;
}

}  // namespace

std::string StepZoomText(const std::string& text, int delta) {
    int value = 0;
    if (ParseInteger(text, value) != ParsedInt::Ok) return text;
    // The control reports its upper arrow as -1: that arrow must raise the zoom.
    if (delta > 0 && value > kMinZoom)
        --value;
    else if (delta < 0 && value < kMaxZoom)
        ++value;
    return std::to_string(value);
}

bool AcceptZoomText(Ui& ui, const std::string& text) {
    int value = 0;
    const ParsedInt parsed = ParseInteger(text, value);
    if (parsed == ParsedInt::NotInteger) {
        ui.ShowMessage("Please enter an integer.", Icon::Exclamation);
        return false;
    }
    if (parsed == ParsedInt::OutOfRange || value < kMinZoom || value > kMaxZoom) {
        ui.ShowMessage("Please enter a zoom level between 1% and 400%", Icon::Exclamation);
        return false;
    }
    return true;
}

bool ZoomFromText(const std::string& text, int& zoom) {
    int value = 0;
    if (ParseInteger(text, value) != ParsedInt::Ok || value < kMinZoom || value > kMaxZoom) return false;
    zoom = value;
    return true;
}

int SteppedZoom(int percent, int direction) {
    constexpr int kStep = 10;
    const int stepped = direction > 0 ? (percent / kStep + 1) * kStep : ((percent - 1) / kStep) * kStep;
    return std::clamp(stepped, kMinZoom, kMaxZoom);
}

}  // namespace qen
