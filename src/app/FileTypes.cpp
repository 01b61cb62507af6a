#include "app/FileTypes.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/MimePackage.h"
#include "files/FileIO.h"
#include "files/Folders.h"
#include "platform/System.h"

namespace qen {

namespace {

constexpr const char* kMimePackageName = "qen-runtime.xml";
constexpr const char* kDesktopFileName = "qen-runtime.desktop";
constexpr const char* kQenType = "application/x-qen_auto_file";
constexpr const char* kLumType = "application/x-lum_auto_file";

// True when `path` holds `data` already; a file that cannot be read is taken as different.
bool HoldsAlready(const Path& path, const std::string& data) {
    const std::optional<std::string> there = ReadFileBytes(path);
    return there && *there == data;
}

bool WriteSilently(const Path& path, const std::string& data) {
    CreateFolders(path.Folder());
    return SaveFileSafely(path, data);
}

bool IsFile(const Path& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path.Bytes(), ignored);
}

std::string DesktopEntry(const std::string& openCommand) {
    return std::string("[Desktop Entry]\n") +
           "Type=Application\n"
           "Name=Qen Runtime\n"
           "Comment=Opens Qen content packages and their user data files\n"
           "Exec=" + openCommand + "\n"
           "MimeType=" + kQenType + ";" + kLumType + ";\n"
           "NoDisplay=true\n"
           "Terminal=false\n";
}

}  // namespace

std::optional<Path> UserDataHome() {
    std::string folder;
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome && *dataHome == '/') {
        folder = dataHome;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        folder = home;
        if (folder.back() != '/') folder += '/';
        folder += ".local/share";
    } else {
        return std::nullopt;
    }
    if (folder.back() != '/') folder += '/';
    return Path(folder);
}

std::vector<Path> SystemDataFolders() {
    const char* listed = std::getenv("XDG_DATA_DIRS");
    const std::string list = listed && *listed ? listed : "/usr/local/share/:/usr/share/";
    std::vector<Path> folders;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string folder = list.substr(start, end - start);
        // Only absolute entries count; a relative one would depend on where the program started.
        if (!folder.empty() && folder[0] == '/') {
            if (folder.back() != '/') folder += '/';
            folders.emplace_back(folder);
        }
        start = end + 1;
    }
    return folders;
}

bool SystemCarriesFileTypes(const std::vector<Path>& dataFolders) {
    for (const Path& folder : dataFolders)
        if (IsFile(folder / "applications" / kDesktopFileName) && IsFile(folder / "mime" / "packages" / kMimePackageName))
            return true;
    return false;
}

std::optional<std::string> OpenCommandFor(const Path& programPath) {
    if (programPath.Empty()) return std::nullopt;
    // Inside a quoted argument the desktop entry rules escape " ` $ and \ with a
    // backslash, and the file format escapes every backslash once more; "%" is doubled
    // because it starts a field code.
    std::string command = "\"";
    for (char c : programPath.Bytes()) {
        switch (c) {
            case '\n':
            case '\r':
            case '\0':
                return std::nullopt;
            case '"':
            case '`':
            case '$':
                command += "\\\\";
                command += c;
                break;
            case '\\':
                command += "\\\\\\\\";
                break;
            case '%':
                command += "%%";
                break;
            default:
                command += c;
        }
    }
    command += "\" %f";
    return command;
}

void RegisterFileTypes(System& system, const Path& programPath) {
    // An installed package registered them for every user; a second, per-user copy would
    // only shadow the package's and outlive its removal.
    if (SystemCarriesFileTypes(SystemDataFolders())) return;
    std::optional<Path> dataHome = UserDataHome();
    if (!dataHome) return;
    const Path mimeFolder = *dataHome / "mime";
    const Path applicationsFolder = *dataHome / "applications";

    // The refreshing programs take a good part of a second between them; they are left to
    // run beside the program rather than held up front of its first page.
    const Path mimePackage = mimeFolder / "packages" / kMimePackageName;
    if (!HoldsAlready(mimePackage, kMimePackage) && WriteSilently(mimePackage, kMimePackage))
        system.StartDetached("update-mime-database", {"update-mime-database", mimeFolder.Bytes()});

    std::optional<std::string> command = OpenCommandFor(programPath);
    if (!command) return;
    const Path desktopFile = applicationsFolder / kDesktopFileName;
    const std::string entry = DesktopEntry(*command);
    if (HoldsAlready(desktopFile, entry) || !WriteSilently(desktopFile, entry)) return;
    system.StartDetached("update-desktop-database", {"update-desktop-database", applicationsFolder.Bytes()});
    // The program started last opens the files, as with the other platforms' association:
    // the entry's name stays the same, so the default is set again only with a new entry.
    system.StartDetached("xdg-mime", {"xdg-mime", "default", kDesktopFileName, kQenType, kLumType});
}

}  // namespace qen
