#pragma once
// Scripted stand-in for the toolkit: records every message box and answers from a script.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Ui.h"

namespace qen::test {

struct ShownMessage {
    std::string caption;
    std::string text;
    Icon icon;
    Buttons buttons;
};

class FakeUi : public Ui {
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

    int busyDepth = 0;
    int pumps = 0;

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
    void BeginBusy() override { ++busyDepth; }
    void EndBusy() override { --busyDepth; }
    void PumpMessages() override { ++pumps; }

    // Texts of all messages shown so far, in order.
    std::vector<std::string> Texts() const;
};

}  // namespace qen::test
