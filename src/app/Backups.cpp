#include "app/Backups.h"

#include <charconv>
#include <cstdint>
#include <string_view>
#include <cstdlib>
#include <vector>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "base/Session.h"
#include "files/FileIO.h"
#include "files/Folders.h"
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

Path StampOf(const Path& backup) { return Path(backup.Bytes() + kBackupStampSuffix); }

std::optional<std::int64_t> ModifiedTime(const Path& path) {
    std::error_code ec;
    const auto time = fs::last_write_time(path.Bytes(), ec);
    if (ec) return std::nullopt;
    const auto sys = std::chrono::file_clock::to_sys(time);
    return std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count();
}

void RemoveBackupFile(const Path& path) {
    RemoveFile(path);
    RemoveFile(StampOf(path));
}

// A backup folder is used only when it is this user's own: one that another user made, or
// a link to somewhere else, could show or change the user's notes.
bool UsableBackupFolder(const Path& folder) {
    // The state home and the settings name's folder are ordinary folders of the user's.
    CreateFolders(folder.WithoutTrailingSlash().Folder());
    return UsePrivateFolder(folder);
}

// A settings name as one folder name: no separator, no hidden or empty name, plain letters
// only, so the folder is the same whatever the locale.
std::string FolderNameOf(const std::string& settingsName) {
    std::string name;
    for (const char c : settingsName) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
                           c == '-' || c == '_' || (c == '.' && !name.empty());
        name += plain ? c : '_';
    }
    return name.empty() ? std::string("QenRuntime") : name;
}

// FNV-1a, eight hex digits: short, and the same on every machine and every run. The stamp,
// not the hash, decides whether a backup belongs to a file.
std::string ShortHash(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, hash >>= 4) text[static_cast<std::size_t>(i)] = kHex[hash & 15];
    return text;
}

}  // namespace

Path BackupFolder(const std::string& settingsName) {
    Path stateHome;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        stateHome = Path(state);
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        stateHome = Path(home) / ".local/state";
    else
        return {};
    return stateHome / (FolderNameOf(settingsName) + "/" + kBackupFolderName + "/");
}

Path BackupPathFor(const Path& folder, const Path& userDataPath) {
    const Path name(userDataPath.Name());
    return folder / (kBackupPrefix + name.WithExtension("").Bytes() + "-" + ShortHash(userDataPath.Bytes()) +
                     name.Extension());
}

std::optional<Path> BackupSource(const Path& backup) {
    const auto stamp = ReadFileBytes(StampOf(backup));
    if (!stamp) return std::nullopt;
    const std::size_t lineEnd = stamp->find('\n');
    if (lineEnd == std::string::npos || lineEnd + 1 == stamp->size()) return std::nullopt;
    return Path(stamp->substr(lineEnd + 1));
}

std::optional<std::int64_t> BackupMadeTime(const Path& path) {
    if (auto stamp = ReadFileBytes(StampOf(path))) {
        const std::string_view seconds = std::string_view(*stamp).substr(0, stamp->find('\n'));
        std::int64_t value = 0;
        const char* end = seconds.data() + seconds.size();
        auto [last, error] = std::from_chars(seconds.data(), end, value);
        if (error == std::errc() && last == end && !seconds.empty()) return value;
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

Backups::Backups(Ui& ui, BackupDialog& dialog, System& system, VideoStore& store, const Session& session,
                 std::function<void()> cleanUp)
    : ui_(ui), dialog_(dialog), system_(system), store_(store), session_(session), cleanUp_(std::move(cleanUp)) {}

void Backups::MakeBackupCopy() {
    const Path folder = BackupFolder(session_.ProductKey);
    if (folder.Empty() || session_.WorkFolder.Empty()) return;
    std::error_code ec;
    if (!UsableBackupFolder(folder)) {
        ui_.ShowMessage("No backup of the .lum file was made: the folder " + folder.Display() +
                            " belongs to another user or is not a folder\n\nYour changes are saved without one",
                        Icon::Exclamation);
        return;
    }
    PruneBackups(folder, system_.Now(), kBackupRetentionDays);

    const Path candidate = BackupPathFor(folder, session_.UserDataPath);
    if (candidate.Extension() != ".lum") return;
    BackupPath = candidate;
    NewBackupPath = Path(candidate.WithExtension("").Bytes() + "_new" + candidate.Extension());

    // A copy left behind by an interrupted save must not pass for this one.
    RemoveBackupFile(NewBackupPath);
    FileError error;
    if (!CopyFileSafely(session_.UserDataPath, NewBackupPath, &error)) {
        RemoveFile(NewBackupPath);
        // Nothing to copy before the first save.
        if (error.kind != FileError::Kind::NotFound)
            ui_.ShowMessage("No backup of the .lum file could be made (" + error.Reason() +
                                ")\n\nYour changes are saved without one",
                            Icon::Exclamation);
        return;
    }
    // The shown date is the user data file's last write; the stamp is when the copy was made.
    const auto modified = fs::last_write_time(session_.UserDataPath.Bytes(), ec);
    if (!ec) fs::last_write_time(NewBackupPath.Bytes(), modified, ec);
    WriteWholeFile(StampOf(NewBackupPath), std::to_string(system_.Now()) + "\n" + session_.UserDataPath.Bytes());
}

void Backups::SaveWithBackup() {
    if (session_.UserDataPath.Empty()) return;
    MakeBackupCopy();
    FileError error;
    if (!store_.SaveUserData(session_.UserDataPath, &error)) ReportFailedSave(error);

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

void Backups::ReportFailedSave(const FileError& error) {
    std::string message = "Your changes could not be saved to " + session_.UserDataPath.Display() + " (" +
                          error.Reason() + ")\n\nThe file still holds what it held before.";
    if (std::optional<Path> kept = KeepUnsavedData())
        message += " Your changes were kept in " + kept->Display() +
                   "\n\nTo use them, close the software and put that file in place of the .lum file";
    else
        message += " Your changes could not be kept anywhere else";
    ui_.ShowMessage(message, Icon::Stop);
}

std::optional<Path> Backups::KeepUnsavedData() {
    const std::string name = session_.UserDataPath.WithExtension("").Name() + ".unsaved-" +
                             system_.FormatLocalTime(system_.Now(), "%Y%m%d-%H%M%S") + ".lum";
    std::vector<Path> folders;
    if (const Path backups = BackupFolder(session_.ProductKey); !backups.Empty() && UsableBackupFolder(backups))
        folders.push_back(backups);
    if (const char* home = std::getenv("HOME"); home && *home == '/') folders.push_back(Path(home));
    for (const Path& folder : folders) {
        const Path kept = folder / name;
        if (store_.SaveUserData(kept)) return kept;
    }
    return std::nullopt;
}

bool Backups::RestoreBackup(bool atStartUp) {
    if (session_.UserDataPath.Empty() || session_.WorkFolder.Empty()) {
        ui_.ShowMessage("Error - unable to use backup feature at this time", Icon::Information);
        return false;
    }
    const Path folder = BackupFolder(session_.ProductKey);
    const Path backup = BackupPathFor(folder, session_.UserDataPath);
    // A backup in a folder another user controls is no backup of this user's, and one made
    // from another file of the same name holds another file's notes.
    const bool exists = !folder.Empty() && IsOwnFolder(folder) && Exists(backup) &&
                        BackupSource(backup) == session_.UserDataPath;
    std::string date;
    if (exists) {
        if (auto modified = ModifiedTime(backup)) date = system_.FormatLocalTime(*modified, kDateFormat);
    }

    if (atStartUp) {
        if (!exists) return false;
        if (ui_.ShowMessage("There is a backup of this file, with a last modified date:\n\n" + date +
                                "\n\nIt was made from " + session_.UserDataPath.Display() +
                                "\n\nDo you want to restore it?",
                            Icon::Question, Buttons::YesNo) != Answer::Yes)
            return false;
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
        "There is a backup of the .lum file, with a last modified date:\n\n" + date + "\n\nIt was made from " +
            session_.UserDataPath.Display() +
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
    switch (dialog_.ShowBackupDialog()) {
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
