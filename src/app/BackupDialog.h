#pragma once
// The Backup command's dialog, as the backups see it; the toolkit shows it.
namespace qen {

enum class BackupChoice { Restore, Cancel, ExitWithoutSaving };

class BackupDialog {
public:
    virtual ~BackupDialog() = default;
    virtual BackupChoice ShowBackupDialog() = 0;
};

}  // namespace qen
