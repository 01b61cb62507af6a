#include "web/ExternalBrowser.h"

#include "files/FileIO.h"
#include "platform/System.h"
#include "web/AddressDialog.h"

namespace qen {

namespace {

constexpr const char* kRedirectPageName = "temp_webtool_help.html";

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

Outcome WriteRedirectPage(const Path& pagePath, const std::string& url) {
    if (WriteWholeFile(pagePath, FillRedirectPage(url))) return Outcome::Success();
    return Outcome::Failure("Failed to write file " + pagePath.Display());
}

bool DesktopOpens(System& system, const Path& pagePath) {
    return Opened(system.Launch("xdg-open", {"xdg-open", pagePath.Bytes()}, kLauncherWaitMilliseconds));
}

}  // namespace

Outcome OpenViaRedirectPage(System& system, const std::string& url, const Path& path) {
    Path pagePath = path;
    if (pagePath.Empty()) pagePath = system.TempFolder().value_or(Path("/tmp/")) / kRedirectPageName;

    if (Outcome written = WriteRedirectPage(pagePath, url); !written) return written;
    if (DesktopOpens(system, pagePath)) return Outcome::Success();
    return Outcome::Failure(kCannotOpenMessage + url);
}

void RemoveRedirectPage(System& system) {
    if (std::optional<Path> temp = system.TempFolder()) RemoveFile(*temp / kRedirectPageName);
}

Outcome OpenInExternalBrowser(System& system, const std::string& url, AddressDialog& addressDialog) {
    // An address starting with "-" would be read as an option by the programs below;
    // the redirect page carries it safely instead.
    if (!url.starts_with('-')) {
        if (Opened(system.Launch("xdg-open", {"xdg-open", url}, kLauncherWaitMilliseconds))) return Outcome::Success();
        if (system.StartDetached("x-www-browser", {"x-www-browser", url})) return Outcome::Success();
        if (system.StartDetached("firefox", {"firefox", url})) return Outcome::Success();
    }
    std::optional<Path> temp = system.TempFolder();
    if (!temp) return Outcome::Failure({});
    const Path pagePath = *temp / kRedirectPageName;
    if (Outcome written = WriteRedirectPage(pagePath, url); !written) return written;
    if (DesktopOpens(system, pagePath)) return Outcome::Success();
    // No browser took it: the user gets the address to take to one themselves.
    addressDialog.ShowAddressDialog(kCannotOpenMessage, url);
    return Outcome::Failure({});
}

}  // namespace qen
