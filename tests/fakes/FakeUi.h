#pragma once
// Scripted stand-in for the toolkit: records every message box and answers from a script.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/FeatureDialogs.h"
#include "platform/Ui.h"

namespace qen::test {

struct ShownMessage {
    std::string caption;
    std::string text;
    Icon icon;
    Buttons buttons;
};

// It also plays every feature's dialogs, so one script drives a whole flow.
class FakeUi : public Ui, public EveryFeatureDialog {
public:

    // Answers for the coming message boxes, in order. A message box without a scripted
    // answer fails the test unless it only has an OK button.
    std::deque<Answer> answers;
    std::vector<ShownMessage> messages;

    std::deque<std::optional<Path>> chosenFiles;
    std::vector<FileDialogRequest> fileRequests;

    std::deque<bool> termsAnswers;
    std::vector<std::pair<std::string, std::string>> termsShown;  // caption, text

    std::deque<BackupChoice> backupChoices;
    int backupDialogsShown = 0;

    // Dialog scripts: a test plays the user, pressing buttons through the callbacks.
    std::function<std::optional<std::string>(
        const std::string&, const std::function<std::string(const std::string&, int)>&,
        const std::function<bool(const std::string&)>&)>
        zoomDialog;
    std::function<bool(NoteDialogState&, const std::function<bool(EditButton, NoteDialogState&)>&)>
        noteDialog;
    std::function<bool(DiaryDialogState&, const std::function<bool(EditButton, DiaryDialogState&)>&)>
        diaryDialog;

    // "Get Latest Videos": runs the work at once, unless `latestVideosDialogEndsOk` is false.
    // The user presses Cancel while batch `cancelDuringBatch` is fetched (0: never).
    bool latestVideosDialogEndsOk = true;
    int cancelDuringBatch = 0;
    int latestVideosDialogsShown = 0;
    std::vector<std::string> statusTexts;
    std::vector<std::string> progressTexts;
    int busyDepthInLatestVideosDialog = 0;  // busy cursors held while the work ran (last text)

    int busyDepth = 0;
    int pumps = 0;
    std::function<void()> onPump;  // what arrives while messages are pumped (a click, a timer)

    Answer ShowMessage(const std::string& text, Icon icon, Buttons buttons) override;
    std::optional<Path> ChooseFile(const FileDialogRequest& request) override;
    bool ShowTermsDialog(const std::string& caption, const std::string& termsText) override;
    std::optional<std::string> ShowZoomDialog(
        const std::string& initialText,
        const std::function<std::string(const std::string&, int)>& step,
        const std::function<bool(const std::string&)>& accept) override;
    BackupChoice ShowBackupDialog() override;
    bool ShowNoteDialog(NoteDialogState& state,
                        const std::function<bool(EditButton, NoteDialogState&)>& decide) override;
    bool ShowDiaryDialog(DiaryDialogState& state,
                         const std::function<bool(EditButton, DiaryDialogState&)>& decide) override;
    bool ShowLatestVideosDialog(const std::function<void(FetchProgress&)>& work) override;
    // Kept as a stop message of the text and the address, the address also in `addressesShown`.
    void ShowAddressDialog(const std::string& message, const std::string& address) override {
        messages.push_back({ApplicationName(), message + address, Icon::Stop, Buttons::Ok});
        addressesShown.push_back(address);
    }
    std::vector<std::string> addressesShown;
    void BeginBusy() override { ++busyDepth; }
    void EndBusy() override { --busyDepth; }
    void PumpMessages() override {
        ++pumps;
        if (onPump) onPump();
    }

    // Texts of all messages shown so far, in order.
    std::vector<std::string> Texts() const;
};

}  // namespace qen::test
