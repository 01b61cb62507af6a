// The program's message box: an icon, the text, and its buttons, centred on the main
// window (or on the screen before there is one), in the same style as the other dialogs.
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textwrapper.h>

#include <iostream>

#include "platform/wx/SystemText.h"
#include "platform/wx/WxUi.h"
#include "text/TextEncoding.h"

namespace qen {

namespace {

wxArtID ArtOf(Icon icon) {
    switch (icon) {
        case Icon::Stop: return wxART_ERROR;
        case Icon::Information: return wxART_INFORMATION;
        case Icon::Exclamation: return wxART_WARNING;
        case Icon::Question: return wxART_QUESTION;
        case Icon::None: break;
    }
    return wxArtID();
}

struct ButtonSpec {
    int id;
    const char* label;
};

std::vector<ButtonSpec> ButtonsOf(Buttons buttons) {
    switch (buttons) {
        case Buttons::OkCancel: return {{wxID_OK, "OK"}, {wxID_CANCEL, "Cancel"}};
        case Buttons::YesNo: return {{wxID_YES, "Yes"}, {wxID_NO, "No"}};
        case Buttons::YesNoCancel: return {{wxID_YES, "Yes"}, {wxID_NO, "No"}, {wxID_CANCEL, "Cancel"}};
        case Buttons::Ok: break;
    }
    return {{wxID_OK, "OK"}};
}

// Escape and the close box give the answer that changes nothing.
int EscapeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::OkCancel:
        case Buttons::YesNoCancel: return wxID_CANCEL;
        case Buttons::YesNo: return wxID_NO;
        case Buttons::Ok: break;
    }
    return wxID_OK;
}

Answer AnswerOf(int id) {
    switch (id) {
        case wxID_YES: return Answer::Yes;
        case wxID_NO: return Answer::No;
        case wxID_CANCEL: return Answer::Cancel;
        default: return Answer::Ok;
    }
}

// The text broken into lines no wider than `width` in the window's font.
wxString Wrapped(wxWindow* window, const wxString& text, int width) {
    class Lines : public wxTextWrapper {
    public:
        wxString text;

    protected:
        void OnOutputLine(const wxString& line) override { text += line; }
        void OnNewLine() override { text += '\n'; }
    } lines;
    lines.Wrap(window, text, width);
    return lines.text;
}

class MessageDialog : public wxDialog {
public:
    MessageDialog(wxWindow* parent, const wxString& caption, const wxString& text, Icon icon, Buttons buttons)
        : wxDialog(parent, wxID_ANY, caption) {
        auto* root = new wxBoxSizer(wxVERTICAL);
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        if (const wxArtID art = ArtOf(icon); !art.empty())
            row->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(art, wxART_MESSAGE_BOX)), 0,
                     wxRIGHT | wxALIGN_TOP, 12);
        auto* label = new wxStaticText(this, wxID_ANY, wxString());
        // A message is shown as written: an '&' in an address is no shortcut marker. The
        // label's own wrapping would read the text back without them, so it is wrapped here.
        const int width = ConvertDialogToPixels(wxSize(240, 0)).GetWidth();
        label->SetLabel(wxControl::EscapeMnemonics(Wrapped(label, text, width)));
        row->Add(label, 1, wxALIGN_CENTER_VERTICAL);
        root->Add(row, 1, wxEXPAND | wxALL, 14);

        auto* buttonRow = new wxBoxSizer(wxHORIZONTAL);
        buttonRow->AddStretchSpacer(1);
        bool first = true;
        for (const ButtonSpec& spec : ButtonsOf(buttons)) {
            auto* button = new wxButton(this, spec.id, spec.label);
            buttonRow->Add(button, 0, wxLEFT, 8);
            button->Bind(wxEVT_BUTTON, [this, id = spec.id](wxCommandEvent&) { EndModal(id); });
            if (first) {
                button->SetDefault();
                button->SetFocus();
                first = false;
            }
        }
        root->Add(buttonRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 14);
        SetEscapeId(EscapeAnswer(buttons));
        SetSizerAndFit(root);
        if (parent)
            CentreOnParent();
        else
            CentreOnScreen();
    }
};

// The answer a box gets when the program is ending: the one that changes nothing.
Answer CancelledAnswer(Buttons buttons) { return AnswerOf(EscapeAnswer(buttons)); }

}  // namespace

Answer WxUi::ShowMessage(const std::string& text, Icon icon, Buttons buttons) {
    lastMessage_ = text;
    // A program that is ending asks nothing more; what it had to say goes to the log.
    if (TerminationRequested()) {
        std::cerr << SystemTextToUtf8(ApplicationName(), References::Decode) << ": "
                  << SystemTextToUtf8(text, References::Decode) << "\n";
        return CancelledAnswer(buttons);
    }
    MessageDialog dialog(parent_, ToWx(ApplicationName()), ToWxDecodingReferences(text), icon, buttons);
    return AnswerOf(RunDialog(dialog));
}

}  // namespace qen
