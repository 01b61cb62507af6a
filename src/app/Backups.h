#pragma once
// The backup of the user data file made before each exit save, the restore with its
// restart, and the Backup menu command.
//
// Linux gives no settable creation time, so the time a backup was made is kept in a small
// stamp file beside it (backup path + ".made": decimal seconds since 1970, a line break and
// the full path of the user data file it was copied from). The stamp is written when the
// fresh copy is made and renamed with it; the backup's own modification time stays that of
// the user data file it was copied from, for display.
//
// Backups live in the user's state folder, not the temporary folder, which Linux empties at
// every boot. Two user data files of one name in two folders each have their own backup.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/BackupDialog.h"
#include "base/Path.h"

namespace qen {

class System;
struct FileError;
class Ui;
class VideoStore;
struct Session;

inline constexpr const char* kBackupFolderName = "LumFileBackups";
inline constexpr const char* kBackupPrefix = "LumBackup_";
inline constexpr const char* kBackupStampSuffix = ".made";
inline constexpr int kBackupRetentionDays = 7;

// "$XDG_STATE_HOME/<settings name>/LumFileBackups/" (default state home "~/.local/state"),
// ending in "/"; empty when neither variable names a folder.
Path BackupFolder(const std::string& settingsName);
// "LumBackup_<name>-<hash of the full path>.lum" inside `folder`, for the user data file.
Path BackupPathFor(const Path& folder, const Path& userDataPath);
// The user data file a backup was copied from, as its stamp records; nullopt when unknown.
std::optional<Path> BackupSource(const Path& backup);
// Deletes "LumBackup_*.lum" files in `folder` made more than `days` days before `now`.
void PruneBackups(const Path& folder, std::int64_t now, int days);
// When the backup at `path` was made: its stamp, else its modification time.
std::optional<std::int64_t> BackupMadeTime(const Path& path);

class Backups {
public:
    // `cleanUp` removes the work folder before the program restarts or ends.
    Backups(Ui& ui, BackupDialog& dialog, System& system, VideoStore& store, const Session& session,
            std::function<void()> cleanUp);

    // The exit save: fresh copy, save, and the copy kept as the backup only if the file changed.
    void SaveWithBackup();
    // Copies the user data file to the fresh copy and sets BackupPath / NewBackupPath.
    void MakeBackupCopy();
    // The restore flows. At start-up: true when the program restarts.
    bool RestoreBackup(bool atStartUp);
    // Copies `source` over the user data file and restarts the program; returns only when
    // the copy failed.
    void RestoreFrom(const Path& source);
    // The "Backup" menu command.
    void ShowBackupDialog();

    Path BackupPath;     // the kept backup
    Path NewBackupPath;  // the fresh copy made before a save

private:
    // The exit save failed: the user learns why, and where the data still is.
    void ReportFailedSave(const FileError& error);
    // A copy of the store where the user can find it: the backup folder, else the home folder.
    std::optional<Path> KeepUnsavedData();

    Ui& ui_;
    BackupDialog& dialog_;
    System& system_;
    VideoStore& store_;
    const Session& session_;
    std::function<void()> cleanUp_;
};

}  // namespace qen
