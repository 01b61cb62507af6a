// The start-up baseline: the least a program can do to show a local page in wxWebView.
// A frame at the display's size with one web view that opens the file named by argv[1];
// nothing else is read, written or checked. scripts/bench-startup.sh times it against the
// runtime showing the same page.
#include <cstdio>

#include <wx/app.h>
#include <wx/display.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/webview.h>

namespace {

class BareWebViewApp : public wxApp {
public:
    bool OnInit() override {
        if (argc < 2) {
            std::fputs("usage: bare_webview PAGE.html\n", stderr);
            return false;
        }
        const wxString url = wxFileName::FileNameToURL(wxFileName(argv[1]));
        auto* frame = new wxFrame(nullptr, wxID_ANY, "Bare web view");
        // The same size the runtime's window takes, so both lay out and paint the same area.
        frame->SetSize(wxDisplay(static_cast<unsigned>(0)).GetClientArea());
        frame->Maximize(true);
        wxWebView::New(frame, wxID_ANY, url);
        frame->Show(true);
        return true;
    }
};

}  // namespace

wxIMPLEMENT_APP(BareWebViewApp);
