#include "app/FileTypes.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "files/FileIO.h"
#include "platform/System.h"

namespace qen {

namespace {

constexpr const char* kMimePackageName = "qen-runtime.xml";
constexpr const char* kDesktopFileName = "qen-runtime.desktop";
constexpr const char* kQenType = "application/x-qen_auto_file";
constexpr const char* kLumType = "application/x-lum_auto_file";

const char kMimePackage[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
    "  <mime-type type=\"application/x-qen_auto_file\">\n"
    "    <comment>Qen content package</comment>\n"
    "    <glob pattern=\"*.qen\"/>\n"
    "  </mime-type>\n"
    "  <mime-type type=\"application/x-lum_auto_file\">\n"
    "    <comment>Qen user data file</comment>\n"
    "    <glob pattern=\"*.lum\"/>\n"
    "  </mime-type>\n"
    "</mime-info>\n";

bool WriteSilently(const Path& path, const std::string& data) {
    std::error_code ignored;
    std::filesystem::create_directories(path.Folder().Bytes(), ignored);
    return SaveFileSafely(path, data);
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
    std::optional<Path> dataHome = UserDataHome();
    if (!dataHome) return;
    const Path mimeFolder = *dataHome / "mime";
    const Path applicationsFolder = *dataHome / "applications";

    if (WriteSilently(mimeFolder / "packages" / kMimePackageName, kMimePackage))
        system.RunProgram("update-mime-database", {"update-mime-database", mimeFolder.Bytes()});

    std::optional<std::string> command = OpenCommandFor(programPath);
    if (!command) return;
    const std::string entry = std::string("[Desktop Entry]\n") +
                              "Type=Application\n"
                              "Name=Qen Runtime\n"
                              "Comment=Opens Qen content packages and their user data files\n"
                              "Exec=" + *command + "\n"
                              "MimeType=" + kQenType + ";" + kLumType + ";\n"
                              "NoDisplay=true\n"
                              "Terminal=false\n";
    if (!WriteSilently(applicationsFolder / kDesktopFileName, entry)) return;
    system.RunProgram("update-desktop-database", {"update-desktop-database", applicationsFolder.Bytes()});
    // The program started last opens the files, as with the other platforms' association.
    system.RunProgram("xdg-mime", {"xdg-mime", "default", kDesktopFileName, kQenType, kLumType});
}

}  // namespace qen
