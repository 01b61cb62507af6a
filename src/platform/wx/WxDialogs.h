#pragma once
// The toolkit side of the dialogs the features declare. Each dialog lives in a file of its
// own (ZoomDialog.cpp, TermsDialog.cpp, BackupDialog.cpp, NoteDialog.cpp, DiaryDialog.cpp,
// LatestVideosDialog.cpp, AddressDialog.cpp) and runs through the Ui, which centres and tracks it.
#include "app/FeatureDialogs.h"
#include "platform/wx/WxUi.h"

namespace qen {

class WxDialogs : public EveryFeatureDialog {
public:
    explicit WxDialogs(WxUi& ui) : ui_(ui) {}

    bool ShowTermsDialog(const std::string& caption, const std::string& termsText) override;
    BackupChoice ShowBackupDialog() override;
    bool ShowLatestVideosDialog(const std::function<void(FetchProgress&)>& work) override;
    bool ShowNoteDialog(NoteDialogState& state,
                        const std::function<bool(EditButton, NoteDialogState&)>& decide) override;
    bool ShowDiaryDialog(DiaryDialogState& state,
                         const std::function<bool(EditButton, DiaryDialogState&)>& decide) override;
    std::optional<std::string> ShowZoomDialog(
        const std::string& initialText, const std::function<std::string(const std::string& text, int delta)>& step,
        const std::function<bool(const std::string& text)>& accept) override;
    void ShowAddressDialog(const std::string& message, const std::string& address) override;

private:
    WxUi& ui_;
};

}  // namespace qen
