// The "Diary" dialog: a date picker, a one-line entry, and Save / Cancel / Delete.
#include <wx/datectrl.h>
#include <wx/dateevt.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uilocale.h>

#include "platform/wx/EditButtons.h"
#include "platform/wx/SystemText.h"
#include "platform/wx/WxDialogs.h"

namespace qen {

namespace {

// The picker shows dates in the user's short date format, with the full year.
wxString PickerDateFormat() {
    wxString format = wxGetUIDateFormat();
    if (format.empty()) format = "%x";
    format.Replace("%y", "%Y");
    return format;
}

std::int64_t SecondsSince1970(const wxDateTime& when) {
    const wxLongLong ms = when.GetValue();
    std::int64_t seconds = ms.GetValue() / 1000;
    if (ms.GetValue() % 1000 < 0) --seconds;
    return seconds;
}

class DiaryWindow : public wxDialog {
public:
    using Decide = std::function<bool(EditButton, DiaryDialogState&)>;

    DiaryWindow(wxWindow* parent, DiaryDialogState& state, const Decide& decide)
        : wxDialog(parent, wxID_ANY, "Diary", wxDefaultPosition, wxDefaultSize,
                   wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
          state_(state),
          decide_(decide),
          original_(static_cast<time_t>(state.date)) {
        auto* root = new wxBoxSizer(wxVERTICAL);
        auto* grid = new wxFlexGridSizer(2, 6, 6);
        grid->AddGrowableCol(1, 1);

        grid->Add(new wxStaticText(this, wxID_ANY, "Date"), 0, wxALIGN_CENTER_VERTICAL);
        picker_ = new wxDatePickerCtrl(this, wxID_ANY, original_, wxDefaultPosition, wxDefaultSize,
                                       wxDP_DROPDOWN | wxDP_SHOWCENTURY);
        picker_->SetName("Date");
        // About the dates a 32-bit timestamp holds; the rules refuse the few at either edge.
        picker_->SetRange(wxDateTime(31, wxDateTime::Dec, 1969), wxDateTime(8, wxDateTime::Feb, 2106));
        grid->Add(picker_, 0, wxALIGN_CENTER_VERTICAL);

        grid->Add(new wxStaticText(this, wxID_ANY, "Entry"), 0, wxALIGN_CENTER_VERTICAL);
        entry_ = new wxTextCtrl(this, wxID_ANY, ToWxDecodingReferences(state.text));
        entry_->SetName("Entry");
        grid->Add(entry_, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL);
        root->Add(grid, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 10);

        // A new entry has nothing to delete.
        root->Add(MakeEditButtons(this, "Delete", state.existing, [this](EditButton button) { Press(button); }), 0,
                  wxEXPAND | wxALL, 10);

        DismissByEscapeAndCloseBox(this, [this](EditButton button) { Press(button); });

        SetSizer(root);
        SetMinSize(ConvertDialogToPixels(wxSize(462, 62)));
        Fit();
        CentreOnParent();

        entry_->SetFocus();
    }

private:
    void Press(EditButton button) {
        // The picker chooses the day; the entry keeps the time of day it had.
        const wxDateTime picked = picker_->GetValue();
        if (picked.IsValid()) {
            const wxDateTime when(picked.GetDay(), picked.GetMonth(), picked.GetYear(), original_.GetHour(),
                                  original_.GetMinute(), original_.GetSecond());
            state_.date = SecondsSince1970(when);
            state_.shownDate = FromWx(picked.Format(PickerDateFormat()));
        }
        state_.text = FromWxTyped(entry_->GetValue());
        if (decide_(button, state_)) EndModal(DialogResultOf(button));
    }

    DiaryDialogState& state_;
    const Decide& decide_;
    wxDateTime original_;
    wxDatePickerCtrl* picker_ = nullptr;
    wxTextCtrl* entry_ = nullptr;
};

}  // namespace

bool WxDialogs::ShowDiaryDialog(DiaryDialogState& state,
                           const std::function<bool(EditButton, DiaryDialogState&)>& decide) {
    DiaryWindow dialog(ui_.ParentWindow(), state, decide);
    return ui_.RunDialog(dialog) == wxID_OK;
}

}  // namespace qen
