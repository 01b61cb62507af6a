#pragma once
// What the logic needs from the window toolkit: message boxes, the file dialog, the busy
// cursor and the message pump. Plain C++; the toolkit lives behind it. A feature's own
// dialogs are declared beside the feature.
#include <optional>
#include <utility>
#include <string>
#include <string_view>

#include "base/Path.h"

namespace qen {

enum class Icon { None, Stop, Information, Exclamation, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    std::string title;
    std::string filter;           // "Description (*.ext)|*.ext||"
    Path initialFolder;
};

class Ui {
public:
    virtual ~Ui() = default;

    // The caption of every message box: the package title once known.
    void SetApplicationName(std::string name) { applicationName_ = std::move(name); }
    const std::string& ApplicationName() const { return applicationName_; }

    virtual Answer ShowMessage(const std::string& text, Icon icon, Buttons buttons = Buttons::Ok) = 0;

    // `format` with `text` in place of its "%s", as an error (stop icon, OK).
    void ShowFormattedError(std::string_view format, std::string_view text) {
        const std::size_t at = format.find("%s");
        std::string message(format.substr(0, at));
        if (at != std::string_view::npos) message.append(text).append(format.substr(at + 2));
        ShowMessage(message, Icon::Stop, Buttons::Ok);
    }

    // Open-file dialog; nullopt when the user cancels.
    virtual std::optional<Path> ChooseFile(const FileDialogRequest& request) = 0;

    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
    virtual void PumpMessages() = 0;

    // True once the program has been asked to end (a logout, kill or Ctrl+C): dialogs answer
    // Cancel, and a wait gives up, so the program reaches its normal end and saves.
    virtual bool TerminationRequested() const { return false; }

private:
    std::string applicationName_ = "Qen Runtime";
};

// Busy cursor for the lifetime of a scope.
class BusyCursor {
public:
    explicit BusyCursor(Ui& ui) : ui_(ui) { ui_.BeginBusy(); }
    ~BusyCursor() { ui_.EndBusy(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Ui& ui_;
};

}  // namespace qen
