// The Backup dialog: four lines of explanation and the three choices.
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "platform/wx/SystemText.h"
#include "platform/wx/WxDialogs.h"

namespace qen {

namespace {

constexpr int kRestoreId = 1020;
constexpr int kExitWithoutSavingId = 1021;

const char* const kLines[] = {
    "When you exit the software normally, any changes you have made to your playlist, notepad and diary are "
    "automatically saved to a \".lum\" file in the same folder as this software.",
    "If you have made a mistake and don't want to save your changes, use the \"Exit Without Saving\" button below.",
    "To protect your data, the software automatically makes a backup of the .lum file before updating it.",
    "Backups are retained for 7 days. You can restore a backup using the \"Restore\" button below",
};

class BackupWindow : public wxDialog {
public:
    explicit BackupWindow(wxWindow* parent) : wxDialog(parent, wxID_ANY, "Backup") {
        const int wrapWidth = ConvertDialogToPixels(wxSize(299, 0)).GetWidth();

        auto* root = new wxBoxSizer(wxVERTICAL);
        for (const char* line : kLines) {
            auto* text = new wxStaticText(this, wxID_ANY, ToWx(line));
            text->Wrap(wrapWidth);
            root->Add(text, 0, wxLEFT | wxRIGHT | wxTOP, 8);
        }

        auto* row = new wxBoxSizer(wxHORIZONTAL);
        auto addButton = [&](int id, const char* label) {
            auto* button = new wxButton(this, id, label);
            row->Add(button, 0, wxLEFT | wxRIGHT, 4);
            return button;
        };
        addButton(kRestoreId, "Restore a Backup");
        addButton(wxID_CANCEL, "Cancel")->SetDefault();
        addButton(kExitWithoutSavingId, "Exit Without Saving");
        root->Add(row, 0, wxALIGN_CENTER | wxALL, 10);

        Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(kRestoreId); }, kRestoreId);
        Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(kExitWithoutSavingId); }, kExitWithoutSavingId);
        SetEscapeId(wxID_CANCEL);

        SetSizer(root);
        // As wide as its layout asks; as high as its contents, with no empty band.
        SetMinSize(wxSize(ConvertDialogToPixels(wxSize(319, 0)).GetWidth(), -1));
        Fit();
        CentreOnParent();
    }
};

}  // namespace

BackupChoice WxDialogs::ShowBackupDialog() {
    BackupWindow dialog(ui_.ParentWindow());
    switch (ui_.RunDialog(dialog)) {
        case kRestoreId:
            return BackupChoice::Restore;
        case kExitWithoutSavingId:
            return BackupChoice::ExitWithoutSaving;
        default:
            return BackupChoice::Cancel;
    }
}

}  // namespace qen
