#include "view/CVantlowView.h"

#include <charconv>
#include <filesystem>

#include "app/Backup.h"
#include "app/CVantlowApp.h"

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

CVantlowView::CVantlowView(CVantlowApp& app) : app_(app) {}

// --- Deferred actions -------------------------------------------------------------------

void CVantlowView::DeferNavigation(const std::string& address) {
    pendingAddress_ = address;
    if (window_) window_->StartTimer(kNavigationTimer, kDeferDelayMs);
}

void CVantlowView::DeferRefresh() {
    if (window_) window_->StartTimer(kRefreshTimer, kDeferDelayMs);
}

void CVantlowView::DeferShowPlaylist() {
    if (window_) window_->StartTimer(kPlaylistTimer, kDeferDelayMs);
}

void CVantlowView::DeferShowRelated() {
    if (window_) window_->StartTimer(kRelatedTimer, kDeferDelayMs);
}

void CVantlowView::OnTimer(int timerId) {
    if (!window_) return;
    switch (timerId) {
        case kNavigationTimer:
            window_->StopTimer(kNavigationTimer);
            if (pendingAddress_ == "goback.html")
                window_->GoBack();
            else
                window_->Navigate(pendingAddress_);
            break;
        case kRefreshTimer:
            window_->StopTimer(kRefreshTimer);
            window_->Refresh();
            break;
        case kPlaylistTimer:
            window_->StopTimer(kPlaylistTimer);
            window_->Navigate(app_.WorkFolder + "playlist1.html");
            break;
        case kRelatedTimer:
            window_->StopTimer(kRelatedTimer);
            window_->Navigate(app_.WorkFolder + "relatedvideos.html");
            break;
        default:
            break;
    }
}

// --- Menu commands ----------------------------------------------------------------------

void CVantlowView::OnMenuCommand(int commandId) {
    if (!window_) return;
    switch (commandId) {
        case kHomeCommand:
            window_->Navigate(app_.HomePage);
            break;
        case kBackCommand:
            window_->GoBack();
            break;
        case kForwardCommand:
            window_->GoForward();
            break;
        case kZoomCommand:
            ZoomCommand();
            break;
        case kPrintCommand:
            window_->Print();
            break;
        case kBackupCommand:
            ShowBackupDialog(app_);
            break;
        case kHelpCommand:
            ShowHelp();
            break;
        default:
            break;
    }
}

void CVantlowView::ShowHelp() {
    if (app_.WorkFolder.empty()) return;
    const std::string help = app_.WorkFolder + "help.html";
    std::error_code error;
    if (std::filesystem::is_regular_file(help, error)) window_->Navigate(help);
}

// --- Zoom -------------------------------------------------------------------------------

void CVantlowView::ApplyZoom(int percent) {
    if (window_) window_->SetZoomPercent(percent);
}

std::string CVantlowView::StepZoomText(const std::string& text, int delta) {
    int value = 0;
    if (ParseInteger(text, value) != ParsedInt::Ok) return text;
    // The control reports its upper arrow as -1: that arrow must raise the zoom.
    if (delta > 0 && value > kMinZoom)
        --value;
    else if (delta < 0 && value < kMaxZoom)
        ++value;
    return std::to_string(value);
}

bool CVantlowView::AcceptZoomText(const std::string& text) {
    int value = 0;
    const ParsedInt parsed = ParseInteger(text, value);
    if (parsed == ParsedInt::NotInteger) {
        app_.ui().ShowMessage("Please enter an integer.", Icon::Exclamation);
        return false;
    }
    if (parsed == ParsedInt::OutOfRange || value < kMinZoom || value > kMaxZoom) {
        app_.ui().ShowMessage("Please enter a zoom level between 1% and 400%", Icon::Exclamation);
        return false;
    }
    return true;
}

void CVantlowView::ZoomCommand() {
    std::optional<std::string> accepted = app_.ui().ShowZoomDialog(
        std::to_string(app_.ZoomPercent), &CVantlowView::StepZoomText,
        [this](const std::string& text) { return AcceptZoomText(text); });
    if (!accepted) return;
    int value = 0;
    // The dialog only closes with OK on an accepted text; checked again so a toolkit
    // slip can never store a zoom outside the range.
    if (ParseInteger(*accepted, value) != ParsedInt::Ok || value < kMinZoom || value > kMaxZoom) return;
    if (value == app_.ZoomPercent) return;
    ApplyZoom(value);
    app_.ZoomPercent = value;
    app_.settings().SetInt(app_.ProductKey, "Zoom", value);
}

}  // namespace qen
