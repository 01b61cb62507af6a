#pragma once
// The one way the program reads and writes files. Nothing here shows a message: each call
// says what failed, and the caller that has a user in front of it says so.
#include <cstdint>
#include <memory>
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

// A regular file held open for reading at any position, for as long as the object lives:
// a file renamed over it meanwhile is not seen. For a large file read piece by piece, so
// that its bytes need not all be in memory at once.
class ReadableFile {
public:
    // Null when the file cannot be opened; a folder, device or pipe is refused as NotAFile.
    static std::shared_ptr<const ReadableFile> Open(const Path& path, FileError* error = nullptr);
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    // The size when it was opened.
    std::uint64_t Size() const { return size_; }
    // `count` bytes from `offset` into `into`; false when the file now ends before them.
    bool ReadAt(std::uint64_t offset, char* into, std::size_t count) const;

private:
    ReadableFile(int descriptor, std::uint64_t size) : descriptor_(descriptor), size_(size) {}

    int descriptor_;
    std::uint64_t size_;
};

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

// A safe save whose data arrives piece by piece (a download): it goes to "<target>.saving"
// and Commit puts it in place as SaveFileSafely does. Until then the target is untouched,
// and a save that failed or was dropped before Commit leaves no ".saving" file behind.
class FileSave {
public:
    // Null when the saving file cannot be made; `error` says why.
    static std::unique_ptr<FileSave> Begin(const Path& path, FileError* error = nullptr, SaveOptions options = {});
    ~FileSave();
    FileSave(const FileSave&) = delete;
    FileSave& operator=(const FileSave&) = delete;

    // After a failure the save is over: the saving file is gone and every later call fails.
    bool Append(std::string_view data, FileError* error = nullptr);
    // Forces the data to the disk and renames it over the target; the save is over either way.
    bool Commit(FileError* error = nullptr);

    // Where the data is until Commit (for reading it back before deciding).
    const Path& SavingPath() const { return saving_; }
    std::uint64_t Size() const { return size_; }

private:
    FileSave(Path target, Path saving, int descriptor) : target_(std::move(target)), saving_(std::move(saving)), descriptor_(descriptor) {}
    // Closes and removes the saving file; gives false for the caller's convenience.
    bool Drop(FileError* error, int code);

    Path target_;
    Path saving_;
    int descriptor_;  // -1 once the save is over
    int failure_ = 0;
    std::uint64_t size_ = 0;
};

// Removes a file (never a folder); false when nothing was removed.
bool RemoveFile(const Path& path);

// Gives the file these permission bits (the lowest twelve of `mode`).
bool SetFileMode(const Path& path, unsigned mode);

// Atomically puts `from` in place of `to` (both in one file system).
bool RenameFile(const Path& from, const Path& to, FileError* error = nullptr);

// A copy of `source` saved safely at `target`; a new target gets the source's permissions.
bool CopyFileSafely(const Path& source, const Path& target, FileError* error = nullptr);

// Where SaveFileSafely writes before the rename.
Path SavingPathFor(const Path& target);

}  // namespace qen
