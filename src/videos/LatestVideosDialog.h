#pragma once
// The "Get Latest Videos" progress dialog, as the video catalogue sees it; the toolkit shows it.
#include <functional>
#include <string>

namespace qen {

// The dialog as the work running inside it sees it.
class FetchProgress {
public:
    virtual ~FetchProgress() = default;
    virtual void SetStatusText(const std::string& text) = 0;    // the line under the caption
    virtual void SetProgressText(const std::string& text) = 0;  // the centred progress line
    // Set by Cancel and Escape while messages are pumped; the work reads it between steps.
    virtual const bool& CancelFlag() const = 0;
};

class LatestVideosDialog {
public:
    virtual ~LatestVideosDialog() = default;
    // Shown modally; once it is painted `work` runs, and the dialog closes with OK when
    // `work` returns. False when it did not end with OK.
    virtual bool ShowLatestVideosDialog(const std::function<void(FetchProgress&)>& work) = 0;
};

}  // namespace qen
