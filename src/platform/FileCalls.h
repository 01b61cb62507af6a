#pragma once
// The few file system calls that standard C++ lacks: creating a file with a given mode
// without following links, forcing data to the disk, and syncing a folder. Each gives 0
// or the system's error number. Only the file module (src/files/) calls these.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qen::filecalls {

enum class Create { New, Truncate };

// Writes `data` as the whole file. New fails when anything exists at `path`; Truncate
// replaces an existing regular file's content. A symbolic link at `path` is never
// followed. `mode` is the permission of a created file (the umask applies unless
// `exactMode`); `durable` forces the data to the disk before the file is closed.
int WriteFile(const std::string& path, std::string_view data, Create create, unsigned mode, bool exactMode,
              bool durable);

// A file written piece by piece: created as WriteFile with Create::New creates it, then
// filled by WriteToFile and ended by CloseFile (which forces it to the disk when `durable`).
int OpenNewFile(const std::string& path, unsigned mode, bool exactMode, int& descriptor);
int WriteToFile(int descriptor, std::string_view data);
int CloseFile(int descriptor, bool durable);

// Creates the file and writes `data` into it. Fails with EEXIST when anything is at
// `path` already, a symbolic link included (it is never followed). A file this call
// created and could not fill is removed again.
int WriteNewFile(const std::string& path, std::string_view data, unsigned mode);

// Opens a regular file for reading and gives its size; anything else (a folder, a device,
// a pipe) is refused with EINVAL without waiting on it. Close with CloseFile.
int OpenForReading(const std::string& path, int& descriptor, std::uint64_t& size);
// Reads exactly `count` bytes from `offset`; EIO when the file ends first.
int ReadAt(int descriptor, std::uint64_t offset, char* into, std::size_t count);

// Asks that the untouched memory at [start, start + size) be given large pages where the
// system has them: a large file read into it then costs a few page faults, not thousands.
// Only a hint; nothing fails.
void AdviseLargePages(void* start, std::size_t size);

// Forces a folder's entries (a rename into it) to the disk.
int SyncFolder(const std::string& folder);

// Atomically replaces `to` with `from`.
int Rename(const std::string& from, const std::string& to);

// Creates a folder only this user can enter; EEXIST when anything has that name.
int MakePrivateFolder(const std::string& path);

// Whether a folder may hold this user's data: a real folder (not a link) owned by this user.
enum class Ownership { Missing, Ours, NotOurs };
Ownership FolderOwnership(const std::string& path);
// Takes away every permission but the owner's.
int MakeOwnerOnly(const std::string& path);

// An advisory lock on `path` (created owner-only when missing) that ends with the process
// that holds it, so a crash leaves no stale lock. Gives 0 and the open descriptor, EAGAIN
// when another process holds it, or another error.
int TryLock(const std::string& path, int& descriptor);
// Whether `descriptor` still names the file at `path` (it may have been removed and made anew).
bool SameFile(int descriptor, const std::string& path);
void Unlock(int descriptor);

}  // namespace qen::filecalls
