#pragma once
// The one way the program reads and writes files. Nothing here shows a message: each call
// says what failed, and the caller that has a user in front of it says so.
#include <optional>
#include <string>
#include <string_view>

#include "base/Path.h"

namespace qen {

struct FileError {
    enum class Kind { None, NotFound, NotAFile, TooLarge, OutOfMemory, System };
    Kind kind = Kind::None;
    int code = 0;  // the system's error number, for Kind::System

    // Why, as a short phrase of system text ("the disk is full").
    std::string Reason() const;
};

// Files above this size are refused rather than risking the process on one allocation.
inline constexpr std::uintmax_t kMaxReadableFileSize = std::uintmax_t{1} << 30;

// The bytes of a regular file. A folder, device or pipe is refused before it is opened,
// so a read can never block on one.
std::optional<std::string> ReadFileBytes(const Path& path, FileError* error = nullptr);

// As ReadFileBytes, except that a ".html" or ".txt" file comes back converted by its
// byte-order mark (ConvertMarkedText) and ends at its first zero byte.
std::optional<std::string> ReadWholeFile(const Path& path, FileError* error = nullptr);

// Creates or truncates the file and writes the data: for the pages of the work folder,
// which live only as long as the run.
bool WriteWholeFile(const Path& path, std::string_view data, FileError* error = nullptr);

// Creates a file that does not exist yet: anything already at `path` (a file, a folder, a
// symbolic link, even one that leads nowhere) is left alone and the call fails with
// "a file of that name is in the way". A file it created but could not fill is removed.
bool WriteNewFile(const Path& path, std::string_view data, FileError* error = nullptr);

struct SaveOptions {
    unsigned newFileMode = 0666;  // a file that does not exist yet; the umask applies
    bool exactNewMode = false;    // apply newFileMode as it is, umask or not
    bool modeOverExisting = false;  // newFileMode also replaces an existing file's permissions
};

// Replaces the file so that a reader, a crash or a full disk never meets half of it:
// the data goes to "<target>.saving" beside it, is forced to the disk and renamed over
// the target, and the folder is synced. The target's permissions are kept; a symbolic
// link is saved through to the file it names. On failure the old file is untouched and
// no ".saving" file is left.
bool SaveFileSafely(const Path& path, std::string_view data, FileError* error = nullptr,
                    SaveOptions options = {});

// Removes a file (never a folder); false when nothing was removed.
bool RemoveFile(const Path& path);

// Atomically puts `from` in place of `to` (both in one file system).
bool RenameFile(const Path& from, const Path& to, FileError* error = nullptr);

// A copy of `source` saved safely at `target`; a new target gets the source's permissions.
bool CopyFileSafely(const Path& source, const Path& target, FileError* error = nullptr);

// Where SaveFileSafely writes before the rename.
Path SavingPathFor(const Path& target);

}  // namespace qen
