#include "web/ExternalBrowser.h"

#include "platform/System.h"
#include "web/AddressDialog.h"
#include "platform/Ui.h"
#include "files/FileIO.h"
#include "files/FileMessages.h"

namespace qen {

namespace {

constexpr const char* kRedirectPageName = "temp_webtool_help.html";
const std::string kCannotOpenMessage =
    "Unable to activate your Internet browser\n\nPlease activate your browser and enter the address:\n\n";

constexpr std::string_view kRedirectPage =
    "<HTML><HEAD><TITLE>Redirect</TITLE>\n"
    "<META HTTP-EQUIV=\"refresh\" CONTENT=\"0; URL=%s\">\n"
    "</HEAD><BODY><br><br><br><center>If you are not redirected automatically, please "
    "<a href=\"%s\" style=\"color:#000000\">click here</a></center></BODY></HTML>";

// The url sits inside double-quoted attributes; a quote in it must not end them.
std::string AttributeSafe(const std::string& url) {
    std::string safe;
    safe.reserve(url.size());
    for (char c : url) {
        if (c == '"')
            safe += "&quot;";
        else
            safe += c;
    }
    return safe;
}

std::string FillRedirectPage(const std::string& url) {
    std::string page(kRedirectPage);
    std::string safe = AttributeSafe(url);
    std::size_t from = 0;
    for (int i = 0; i < 2; ++i) {
        std::size_t at = page.find("%s", from);
        page.replace(at, 2, safe);
        from = at + safe.size();
    }
    return page;
}

bool Opened(System::LaunchOutcome outcome) {
    return outcome == System::LaunchOutcome::Succeeded || outcome == System::LaunchOutcome::StillRunning;
}

}  // namespace

bool OpenViaRedirectPage(Ui& ui, System& system, const std::string& url, bool showErrors, const Path& path) {
    Path pagePath = path;
    if (pagePath.Empty()) pagePath = system.TempFolder().value_or(Path("/tmp/")) / kRedirectPageName;

    if (!WriteWholeFile(ui, pagePath, FillRedirectPage(url))) return false;
    if (Opened(system.Launch("xdg-open", {"xdg-open", pagePath.Bytes()}, kLauncherWaitMilliseconds))) return true;

    if (showErrors) ui.ShowMessage(kCannotOpenMessage + url, Icon::Stop);
    return false;
}

void RemoveRedirectPage(System& system) {
    if (std::optional<Path> temp = system.TempFolder()) RemoveFile(*temp / kRedirectPageName);
}

void OpenInExternalBrowser(Ui& ui, System& system, const std::string& url, AddressDialog& addressDialog) {
    // An address starting with "-" would be read as an option by the programs below;
    // the redirect page carries it safely instead.
    if (!url.starts_with('-')) {
        if (Opened(system.Launch("xdg-open", {"xdg-open", url}, kLauncherWaitMilliseconds))) return;
        if (system.StartDetached("x-www-browser", {"x-www-browser", url})) return;
        if (system.StartDetached("firefox", {"firefox", url})) return;
    }
    std::optional<Path> temp = system.TempFolder();
    if (!temp) return;
    if (!OpenViaRedirectPage(ui, system, url, false, *temp / kRedirectPageName))
        addressDialog.ShowAddressDialog(kCannotOpenMessage, url);
}

}  // namespace qen
