#include "fakes/FakeUi.h"

#include <gtest/gtest.h>

namespace qen::test {

Answer FakeUi::ShowMessage(const std::string& text, Icon icon, Buttons buttons) {
    messages.push_back({ApplicationName(), text, icon, buttons});
    if (!answers.empty()) {
        Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    if (buttons != Buttons::Ok) {
        ADD_FAILURE() << "unscripted question: " << text;
        return buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
    }
    return Answer::Ok;
}

std::optional<Path> FakeUi::ChooseFile(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (chosenFiles.empty()) {
        ADD_FAILURE() << "unscripted file dialog: " << request.title;
        return std::nullopt;
    }
    auto chosen = chosenFiles.front();
    chosenFiles.pop_front();
    return chosen;
}

bool FakeUi::ShowTermsDialog(const std::string& caption, const std::string& termsText) {
    termsShown.emplace_back(caption, termsText);
    if (termsAnswers.empty()) {
        ADD_FAILURE() << "unscripted terms dialog";
        return false;
    }
    bool accepted = termsAnswers.front();
    termsAnswers.pop_front();
    return accepted;
}

std::optional<std::string> FakeUi::ShowZoomDialog(
    const std::string& initialText, const std::function<std::string(const std::string&, int)>& step,
    const std::function<bool(const std::string&)>& accept) {
    if (!zoomDialog) {
        ADD_FAILURE() << "unscripted zoom dialog";
        return std::nullopt;
    }
    return zoomDialog(initialText, step, accept);
}

BackupChoice FakeUi::ShowBackupDialog() {
    ++backupDialogsShown;
    if (backupChoices.empty()) {
        ADD_FAILURE() << "unscripted backup dialog";
        return BackupChoice::Cancel;
    }
    BackupChoice choice = backupChoices.front();
    backupChoices.pop_front();
    return choice;
}

bool FakeUi::ShowNoteDialog(NoteDialogState& state,
                            const std::function<bool(EditButton, NoteDialogState&)>& decide) {
    if (!noteDialog) {
        ADD_FAILURE() << "unscripted note dialog";
        return false;
    }
    return noteDialog(state, decide);
}

bool FakeUi::ShowDiaryDialog(DiaryDialogState& state,
                             const std::function<bool(EditButton, DiaryDialogState&)>& decide) {
    if (!diaryDialog) {
        ADD_FAILURE() << "unscripted diary dialog";
        return false;
    }
    return diaryDialog(state, decide);
}

std::vector<std::string> FakeUi::Texts() const {
    std::vector<std::string> texts;
    for (const auto& message : messages) texts.push_back(message.text);
    return texts;
}

}  // namespace qen::test
