#include "update/ProgramFile.h"

#include "files/FileHelpers.h"
#include "text/TextEncoding.h"

namespace qen {

namespace fs = std::filesystem;

fs::perms ProgramPermissions(fs::perms written) {
    // Set-id and sticky bits of a file that was there before are not kept for a download.
    fs::perms mode = written & fs::perms::all;
    const std::pair<fs::perms, fs::perms> kReadToExecute[] = {
        {fs::perms::owner_read, fs::perms::owner_exec},
        {fs::perms::group_read, fs::perms::group_exec},
        {fs::perms::others_read, fs::perms::others_exec},
    };
    for (const auto& [read, execute] : kReadToExecute)
        if ((written & read) != fs::perms::none) mode |= execute;
    return mode;
}

bool WriteProgramFile(Ui& ui, const std::string& path, std::string_view bytes) {
    if (!WriteWholeFile(ui, path, bytes)) return false;
    std::error_code error;
    const fs::perms written = fs::status(path, error).permissions();
    if (!error) fs::permissions(path, ProgramPermissions(written), fs::perm_options::replace, error);
    if (error) {
        // A program that cannot be started is no update: it is not left behind.
        fs::remove(path, error);
        ShowFormattedError(ui, "Failed to write file %s", Utf8ToAnsiWithReferences(path));
        return false;
    }
    return true;
}

}  // namespace qen
