#include "app/Backups.h"

#include <charconv>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "base/Session.h"
#include "files/FileIO.h"
#include "platform/System.h"
#include "platform/Ui.h"
#include "store/VideoStore.h"

namespace qen {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDateFormat = "%A, %B %d, %Y at %H:%M";
constexpr std::size_t kSmallestComparableFile = 40;

bool Exists(const Path& path) {
    std::error_code ec;
    return fs::is_regular_file(path.Bytes(), ec);
}

void RemoveQuietly(const Path& path) {
    std::error_code ec;
    fs::remove(path.Bytes(), ec);
}

Path StampOf(const Path& backup) { return Path(backup.Bytes() + kBackupStampSuffix); }

std::optional<std::int64_t> ModifiedTime(const Path& path) {
    std::error_code ec;
    const auto time = fs::last_write_time(path.Bytes(), ec);
    if (ec) return std::nullopt;
    const auto sys = std::chrono::file_clock::to_sys(time);
    return std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count();
}

void RemoveBackupFile(const Path& path) {
    RemoveQuietly(path);
    RemoveQuietly(StampOf(path));
}

}  // namespace

Path BackupFolder(const Path& workFolder) {
    if (workFolder.Empty()) return {};
    return workFolder.WithoutTrailingSlash().Folder() / (std::string(kBackupFolderName) + "/");
}

Path BackupPathFor(const Path& folder, const Path& userDataPath) {
    return folder / (kBackupPrefix + userDataPath.Name());
}

std::optional<std::int64_t> BackupMadeTime(const Path& path) {
    if (auto stamp = ReadFileBytes(StampOf(path))) {
        std::int64_t value = 0;
        const char* end = stamp->data() + stamp->size();
        auto [last, error] = std::from_chars(stamp->data(), end, value);
        if (error == std::errc() && last == end && !stamp->empty()) return value;
    }
    return ModifiedTime(path);
}

void PruneBackups(const Path& folder, std::int64_t now, int days) {
    const std::int64_t limit = now - static_cast<std::int64_t>(days) * 86400;
    std::error_code ec;
    fs::directory_iterator it(folder.Bytes(), ec);
    if (ec) return;
    for (const auto& entry : it) {
        std::error_code typeError;
        if (entry.is_directory(typeError)) continue;
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kBackupPrefix) || !name.ends_with(".lum")) continue;
        const Path path(entry.path().string());
        const auto made = BackupMadeTime(path);
        if (made && *made < limit) RemoveBackupFile(path);
    }
}

Backups::Backups(Ui& ui, System& system, VideoStore& store, const Session& session, std::function<void()> cleanUp)
    : ui_(ui), system_(system), store_(store), session_(session), cleanUp_(std::move(cleanUp)) {}

void Backups::MakeBackupCopy() {
    // Without a work folder there is no temporary folder to put backups in.
    const Path folder = BackupFolder(session_.WorkFolder);
    if (folder.Empty()) return;
    std::error_code ec;
    fs::create_directory(folder.Bytes(), ec);
    if (ec) return;
    PruneBackups(folder, system_.Now(), kBackupRetentionDays);

    const Path candidate = BackupPathFor(folder, session_.UserDataPath);
    if (candidate.Extension() != ".lum") return;
    BackupPath = candidate;
    NewBackupPath = Path(candidate.WithExtension("").Bytes() + "_new" + candidate.Extension());

    // A copy left behind by an interrupted save must not pass for this one.
    RemoveBackupFile(NewBackupPath);
    if (!CopyFileSafely(session_.UserDataPath, NewBackupPath)) {
        RemoveQuietly(NewBackupPath);
        return;
    }
    // The shown date is the user data file's last write; the stamp is when the copy was made.
    const auto modified = fs::last_write_time(session_.UserDataPath.Bytes(), ec);
    if (!ec) fs::last_write_time(NewBackupPath.Bytes(), modified, ec);
    WriteWholeFile(StampOf(NewBackupPath), std::to_string(system_.Now()));
}

void Backups::SaveWithBackup() {
    if (session_.UserDataPath.Empty()) return;
    MakeBackupCopy();
    store_.SaveUserData(session_.UserDataPath);

    bool unchanged = false;
    if (!NewBackupPath.Empty() && Exists(NewBackupPath) && Exists(session_.UserDataPath)) {
        const auto copy = ReadFileBytes(NewBackupPath);
        const auto saved = ReadFileBytes(session_.UserDataPath);
        unchanged = copy && saved && copy->size() == saved->size() && copy->size() >= kSmallestComparableFile &&
                    *copy == *saved;
    }
    if (unchanged) {
        RemoveBackupFile(NewBackupPath);
    } else if (!BackupPath.Empty() && Exists(NewBackupPath)) {
        RemoveBackupFile(BackupPath);
        RenameFile(NewBackupPath, BackupPath);
        RenameFile(StampOf(NewBackupPath), StampOf(BackupPath));
    }
    NewBackupPath = Path();
}

bool Backups::RestoreBackup(bool atStartUp) {
    if (session_.UserDataPath.Empty() || session_.WorkFolder.Empty()) {
        ui_.ShowMessage("Error - unable to use backup feature at this time", Icon::Information);
        return false;
    }
    const Path backup = BackupPathFor(BackupFolder(session_.WorkFolder), session_.UserDataPath);
    const bool exists = Exists(backup);
    std::string date;
    if (exists) {
        if (auto modified = ModifiedTime(backup)) date = system_.FormatLocalTime(*modified, kDateFormat);
    }

    if (atStartUp) {
        if (!exists) return false;
        ui_.ShowMessage("There is a backup of this file, with a last modified date:\n\n" + date +
                            "\n\nThe software will now attempt to restore it",
                        Icon::Information);
        const Outcome loaded = store_.LoadUserData(backup);
        if (loaded) {
            RestoreFrom(backup);
            return true;
        }
        ui_.ShowMessage(loaded.Message(), Icon::Stop);
        // Start-up goes on and writes its pages into the work folder, so the generated
        // files stay where they are.
        ui_.ShowMessage("The software was unable to restore the backup file", Icon::Information);
        return false;
    }

    if (!exists) {
        ui_.ShowMessage("There are no backups of the .lum file", Icon::Information);
        return true;
    }
    const Answer answer = ui_.ShowMessage(
        "There is a backup of the .lum file, with a last modified date:\n\n" + date +
            "\n\nPlease note that restoring this backup will overwrite the current file, losing any changes "
            "made since the backup\n\nDo you want to restore the backup?",
        Icon::Exclamation, Buttons::YesNo);
    if (answer != Answer::Yes) return false;
    RestoreFrom(backup);
    return true;
}

void Backups::RestoreFrom(const Path& source) {
    if (!CopyFileSafely(source, session_.UserDataPath)) {
        ui_.ShowMessage("Failed to copy the restore file\n\nSource: " + source.Display() +
                            "\n\nDestination: " + session_.UserDataPath.Display(),
                        Icon::Stop);
        return;
    }
    RemoveBackupFile(source);
    ui_.ShowMessage("Backup restored successfully\n\nThe software will now restart", Icon::Information);
    cleanUp_();
    // argv needs no quoting: the path goes over as it is.
    system_.ReplaceProcess(session_.ExePath.Bytes(), {session_.ExePath.Name(), session_.UserDataPath.Bytes()});
    ui_.ShowMessage("Unable to restart the software\n\nThe software will now exit - please restart it yourself",
                    Icon::Stop);
    system_.ExitNow(1);
}

void Backups::ShowBackupDialog() {
    switch (ui_.ShowBackupDialog()) {
        case BackupChoice::Restore:
            RestoreBackup(false);
            break;
        case BackupChoice::ExitWithoutSaving:
            if (ui_.ShowMessage("Exit the software without saving changes\n\nThis will discard any changes you "
                                "have made to your playlist, notepad and diary\n\nDo you want to proceed?",
                                Icon::None, Buttons::YesNo) == Answer::Yes) {
                cleanUp_();
                system_.ExitNow(1);
            }
            break;
        case BackupChoice::Cancel:
            break;
    }
}

}  // namespace qen
