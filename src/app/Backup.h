#pragma once
// Backup of the user data file before each exit save, restore with restart, and the
// Backup menu command.
//
// Linux gives no settable creation time, so the time a backup was made is kept in a
// small stamp file beside it (backup path + ".made", decimal seconds since 1970). The
// stamp is written when the fresh copy is made and renamed with it; the backup's own
// modification time stays that of the user data file it was copied from, for display.
#include <cstdint>
#include <optional>
#include <string>

namespace qen {

class CVantlowApp;
class System;

inline constexpr const char* kBackupFolderName = "LumFileBackups";
inline constexpr const char* kBackupPrefix = "LumBackup_";
inline constexpr const char* kBackupStampSuffix = ".made";
inline constexpr int kBackupRetentionDays = 7;

// The folder beside the work folder, ending in "/"; empty without a work folder.
std::string BackupFolder(const std::string& workFolder);
// "LumBackup_" + the user data file's name, inside `folder`.
std::string BackupPathFor(const std::string& folder, const std::string& userDataPath);

// The exit save: fresh copy, save, keep the copy as the backup only if the file changed.
void SaveWithBackup(CVantlowApp& app);
// Copies the user data file to the fresh copy and sets BackupPath / NewBackupPath.
void MakeBackupCopy(CVantlowApp& app);
// Deletes "LumBackup_*.lum" files in `folder` made more than `days` days ago.
void PruneBackups(System& system, const std::string& folder, int days);
// The restore flows; see the messages inside. At start-up: true when the program restarts.
bool RestoreBackup(CVantlowApp& app, bool atStartUp);
// Copies `source` over the user data file and restarts the program; returns only when
// the copy failed.
void RestoreFrom(CVantlowApp& app, const std::string& source);
// The "Backup" menu command.
void ShowBackupDialog(CVantlowApp& app);

// Start-up: when no file exists at `userDataPath` and its name (without extension) ends
// in "_" and one or two digits, the user data file of the name without them.
std::string AdjustUserDataPath(const std::string& userDataPath);
// Start-up: adjusts UserDataPath, loads the store and, when that fails, tries the backup.
void LoadUserDataAtStartUp(CVantlowApp& app);

// When the backup at `path` was made: its stamp, else its modification time.
std::optional<std::int64_t> BackupMadeTime(const std::string& path);

}  // namespace qen
