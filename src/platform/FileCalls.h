#pragma once
// The few file system calls that standard C++ lacks: creating a file with a given mode
// without following links, forcing data to the disk, and syncing a folder. Each gives 0
// or the system's error number. Only the file module (src/files/) calls these.
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

// Forces a folder's entries (a rename into it) to the disk.
int SyncFolder(const std::string& folder);

// Atomically replaces `to` with `from`.
int Rename(const std::string& from, const std::string& to);

}  // namespace qen::filecalls
