#pragma once
// Making and removing folders, the other half of the file module: nothing outside src/files/
// creates or removes anything on disk.
#include "base/Path.h"

namespace qen {

// Makes the folder and any missing parents; true when it is there afterwards.
bool CreateFolders(const Path& folder);

enum class NewFolder { Made, NameTaken, Failed };
// Makes a folder only this user can enter. Anything already at that name, even a link
// that leads nowhere, leaves it NameTaken.
NewFolder MakePrivateFolder(const Path& folder);

// True when the folder is a real folder (not a link) owned by this user.
bool IsOwnFolder(const Path& folder);

// A folder for this user's private data: made owner-only when missing, made owner-only
// again when it is this user's; false when it is a link or another user's, which could
// show or change what is put there.
bool UsePrivateFolder(const Path& folder);

// Removes the folder and everything in it; links inside are removed, never followed.
void RemoveFolderTree(const Path& folder);

}  // namespace qen
