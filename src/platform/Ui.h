#pragma once
// What the logic needs from the window toolkit: message boxes, the file dialog, the busy
// cursor and the message pump. Plain C++; the toolkit lives behind it. A feature's own
// dialogs are declared beside the feature.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/Outcome.h"
#include "base/Path.h"
#include "platform/Waiting.h"

namespace qen {

enum class Icon { None, Stop, Information, Exclamation, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    std::string title;
    std::string filter;           // "Description (*.ext)|*.ext||"
    Path initialFolder;
};

// The busy cursor, the message pump and the end request come from Waiting.
class Ui : public Waiting {
public:
    // The caption of every message box: the package title once known.
    void SetApplicationName(std::string name) { applicationName_ = std::move(name); }
    const std::string& ApplicationName() const { return applicationName_; }

    virtual Answer ShowMessage(const std::string& text, Icon icon, Buttons buttons = Buttons::Ok) = 0;

    // A failure's message as an error (stop icon, OK), when it has one; true for a success.
    bool Succeeded(const Outcome& outcome) {
        if (!outcome && !outcome.Message().empty()) ShowMessage(outcome.Message(), Icon::Stop, Buttons::Ok);
        return outcome.Ok();
    }

    // `format` with `text` in place of its "%s", as an error (stop icon, OK).
    void ShowFormattedError(std::string_view format, std::string_view text) {
        const std::size_t at = format.find("%s");
        std::string message(format.substr(0, at));
        if (at != std::string_view::npos) message.append(text).append(format.substr(at + 2));
        ShowMessage(message, Icon::Stop, Buttons::Ok);
    }

    // Open-file dialog; nullopt when the user cancels.
    virtual std::optional<Path> ChooseFile(const FileDialogRequest& request) = 0;

private:
    std::string applicationName_ = "Qen Runtime";
};

}  // namespace qen
