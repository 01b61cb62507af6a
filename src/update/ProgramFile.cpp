#include "update/ProgramFile.h"

#include "files/FileIO.h"

namespace qen {

namespace fs = std::filesystem;

fs::perms ProgramPermissions(fs::perms kept) {
    fs::perms mode = kept & fs::perms::all;
    const std::pair<fs::perms, fs::perms> kReadToExecute[] = {
        {fs::perms::owner_read, fs::perms::owner_exec},
        {fs::perms::group_read, fs::perms::group_exec},
        {fs::perms::others_read, fs::perms::others_exec},
    };
    for (const auto& [read, execute] : kReadToExecute)
        if ((kept & read) != fs::perms::none) mode |= execute;
    return mode;
}

Outcome CannotWriteProgramFile(const Path& path) { return Outcome::Failure("Failed to write file " + path.Display()); }

std::unique_ptr<FileSave> BeginProgramFile(const Path& path) {
    return FileSave::Begin(path, nullptr, SaveOptions{.newFileMode = 0777});
}

Outcome CommitProgramFile(FileSave& file, const Path& path) {
    std::error_code error;
    const bool replacing = fs::exists(fs::status(path.Bytes(), error));
    if (!file.Commit()) return CannotWriteProgramFile(path);
    if (!replacing) return Outcome::Success();

    // A file left at that name (an update that was never installed) lends the download its
    // mode, which must still let the program run.
    const fs::perms kept = fs::status(path.Bytes(), error).permissions();
    if (error || !SetFileMode(path, static_cast<unsigned>(ProgramPermissions(kept)))) {
        // A program that cannot be started is no update: it is not left behind.
        RemoveFile(path);
        return CannotWriteProgramFile(path);
    }
    return Outcome::Success();
}

Outcome WriteProgramFile(const Path& path, std::string_view bytes) {
    const std::unique_ptr<FileSave> file = BeginProgramFile(path);
    if (!file || !file->Append(bytes)) return CannotWriteProgramFile(path);
    return CommitProgramFile(*file, path);
}

}  // namespace qen
