#pragma once
// What the logic needs from the window toolkit: message boxes, modal dialogs,
// busy cursor and the message pump. Plain C++; the toolkit lives behind it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/Outcome.h"
#include "base/Path.h"
#include "platform/Waiting.h"

namespace qen {

enum class Icon { None, Stop, Information, Exclamation, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// Buttons of the dialogs that edit a note or a diary entry.
enum class EditButton { Save, Delete };

struct NoteDialogState {
    std::string title;            // system text (cp1252 with character references)
    std::string text;
    bool existing = false;        // editing a stored note: "Delete Note" is shown
    bool deleteRequested = false;
};

struct DiaryDialogState {
    std::int64_t date = 0;        // seconds since 1970, local date and time picked
    std::string text;
    std::string shownDate;        // the picker's own text in the user's short date format
    bool existing = false;
    bool deleteRequested = false;
    bool monthFirst = true;
    bool monthFirstDecided = false;
};

enum class BackupChoice { Restore, Cancel, ExitWithoutSaving };

// The latest-videos progress dialog as the work running inside it sees it.
class FetchProgress {
public:
    virtual ~FetchProgress() = default;
    virtual void SetStatusText(const std::string& text) = 0;    // the line under the caption
    virtual void SetProgressText(const std::string& text) = 0;  // the centred progress line
    // Set by Cancel and Escape while messages are pumped; the work reads it between steps.
    virtual const bool& CancelFlag() const = 0;
};

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

    // Terms dialog; true when the user pressed "Yes".
    virtual bool ShowTermsDialog(const std::string& caption, const std::string& termsText) = 0;

    // Zoom dialog. `step` turns the edit text and the spin control's reported delta into
    // the new edit text; `accept` decides whether OK may close the dialog (it shows its own
    // messages). Gives the accepted edit text, or nullopt on Cancel.
    virtual std::optional<std::string> ShowZoomDialog(
        const std::string& initialText,
        const std::function<std::string(const std::string& text, int delta)>& step,
        const std::function<bool(const std::string& text)>& accept) = 0;

    virtual BackupChoice ShowBackupDialog() = 0;

    // Note and diary dialogs: `decide` runs on Save or Delete with the controls' values
    // already taken into the state and returns true to close with OK. Cancel gives false.
    virtual bool ShowNoteDialog(NoteDialogState& state,
                                const std::function<bool(EditButton, NoteDialogState&)>& decide) = 0;
    virtual bool ShowDiaryDialog(DiaryDialogState& state,
                                 const std::function<bool(EditButton, DiaryDialogState&)>& decide) = 0;

    // "Get Latest Videos": shown modally; once it is painted `work` runs, and the dialog
    // closes with OK when `work` returns. False when it did not end with OK.
    virtual bool ShowLatestVideosDialog(const std::function<void(FetchProgress&)>& work) = 0;

private:
    std::string applicationName_ = "Qen Runtime";
};

}  // namespace qen
