#include "app/Backup.h"

#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "app/CVantlowApp.h"
#include "files/PathHelpers.h"

namespace qen {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDateFormat = "%A, %B %d, %Y at %H:%M";
constexpr std::size_t kSmallestComparableFile = 40;

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::path(path), ec);
}

void RemoveQuietly(const std::string& path) {
    std::error_code ec;
    fs::remove(fs::path(path), ec);
}

std::optional<std::string> ReadQuietly(const std::string& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::optional<std::int64_t> ModifiedTime(const std::string& path) {
    std::error_code ec;
    const auto time = fs::last_write_time(fs::path(path), ec);
    if (ec) return std::nullopt;
    const auto sys = std::chrono::file_clock::to_sys(time);
    return std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count();
}

bool WriteStamp(const std::string& backupPath, std::int64_t when) {
    std::ofstream out(fs::path(backupPath + kBackupStampSuffix), std::ios::binary | std::ios::trunc);
    out << when;
    out.close();
    return !out.fail();
}

void RemoveBackupFile(const std::string& path) {
    RemoveQuietly(path);
    RemoveQuietly(path + kBackupStampSuffix);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Replaces `target` only once `source` has been copied whole beside it.
bool CopyOver(const std::string& source, const std::string& target) {
    const std::string temp = target + ".saving";
    std::error_code ec;
    if (!fs::copy_file(fs::path(source), fs::path(temp), fs::copy_options::overwrite_existing, ec)) {
        RemoveQuietly(temp);
        return false;
    }
    fs::rename(fs::path(temp), fs::path(target), ec);
    if (ec) {
        RemoveQuietly(temp);
        return false;
    }
    return true;
}

}  // namespace

std::string BackupFolder(const std::string& workFolder) {
    if (workFolder.empty()) return {};
    std::string folder = workFolder;
    if (folder.back() == '/' || folder.back() == '\\') folder.pop_back();
    return DirectoryOf(folder) + kBackupFolderName + "/";
}

std::string BackupPathFor(const std::string& folder, const std::string& userDataPath) {
    return folder + kBackupPrefix + FileNameOf(userDataPath);
}

std::optional<std::int64_t> BackupMadeTime(const std::string& path) {
    if (auto stamp = ReadQuietly(path + kBackupStampSuffix)) {
        std::int64_t value = 0;
        const char* end = stamp->data() + stamp->size();
        auto [last, error] = std::from_chars(stamp->data(), end, value);
        if (error == std::errc() && last == end && !stamp->empty()) return value;
    }
    return ModifiedTime(path);
}

void PruneBackups(System& system, const std::string& folder, int days) {
    const std::int64_t limit = system.Now() - static_cast<std::int64_t>(days) * 86400;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    if (ec) return;
    for (const auto& entry : it) {
        std::error_code typeError;
        if (entry.is_directory(typeError)) continue;
        const std::string name = entry.path().filename().string();
        if (!StartsWith(name, kBackupPrefix) || !EndsWith(name, ".lum")) continue;
        const std::string path = entry.path().string();
        const auto made = BackupMadeTime(path);
        if (made && *made < limit) RemoveBackupFile(path);
    }
}

void MakeBackupCopy(CVantlowApp& app) {
    // Without a work folder there is no temporary folder to put backups in.
    std::string folder = BackupFolder(app.WorkFolder);
    if (folder.empty()) return;
    std::error_code ec;
    fs::create_directory(fs::path(folder), ec);
    if (ec) return;
    PruneBackups(app.system(), folder, kBackupRetentionDays);

    const std::string candidate = BackupPathFor(folder, app.UserDataPath);
    if (ExtensionOf(candidate) != ".lum") return;
    app.BackupPath = candidate;
    app.NewBackupPath = WithoutExtension(candidate) + "_new" + ExtensionOf(candidate);

    // A copy left behind by an interrupted save must not pass for this one.
    RemoveBackupFile(app.NewBackupPath);
    if (!fs::copy_file(fs::path(app.UserDataPath), fs::path(app.NewBackupPath),
                       fs::copy_options::overwrite_existing, ec)) {
        RemoveQuietly(app.NewBackupPath);
        return;
    }
    // The shown date is the user data file's last write; the stamp is when the copy was made.
    const auto modified = fs::last_write_time(fs::path(app.UserDataPath), ec);
    if (!ec) fs::last_write_time(fs::path(app.NewBackupPath), modified, ec);
    WriteStamp(app.NewBackupPath, app.system().Now());
}

void SaveWithBackup(CVantlowApp& app) {
    if (app.UserDataPath.empty()) return;
    MakeBackupCopy(app);
    app.store.SaveUserData(app.UserDataPath);

    bool unchanged = false;
    if (!app.NewBackupPath.empty() && Exists(app.NewBackupPath) && Exists(app.UserDataPath)) {
        const auto copy = ReadQuietly(app.NewBackupPath);
        const auto saved = ReadQuietly(app.UserDataPath);
        unchanged = copy && saved && copy->size() == saved->size() &&
                    copy->size() >= kSmallestComparableFile && *copy == *saved;
    }
    if (unchanged) {
        RemoveBackupFile(app.NewBackupPath);
    } else if (!app.BackupPath.empty() && Exists(app.NewBackupPath)) {
        RemoveBackupFile(app.BackupPath);
        std::error_code ec;
        fs::rename(fs::path(app.NewBackupPath), fs::path(app.BackupPath), ec);
        fs::rename(fs::path(app.NewBackupPath + kBackupStampSuffix), fs::path(app.BackupPath + kBackupStampSuffix),
                   ec);
    }
    app.NewBackupPath.clear();
}

bool RestoreBackup(CVantlowApp& app, bool atStartUp) {
    Ui& ui = app.ui();
    if (app.UserDataPath.empty() || app.WorkFolder.empty()) {
        ui.ShowMessage("Error - unable to use backup feature at this time", Icon::Information);
        return false;
    }
    const std::string backup = BackupPathFor(BackupFolder(app.WorkFolder), app.UserDataPath);
    const bool exists = Exists(backup);
    std::string date;
    if (exists) {
        if (auto modified = ModifiedTime(backup)) date = app.system().FormatLocalTime(*modified, kDateFormat);
    }

    if (atStartUp) {
        if (!exists) return false;
        ui.ShowMessage("There is a backup of this file, with a last modified date:\n\n" + date +
                           "\n\nThe software will now attempt to restore it",
                       Icon::Information);
        if (app.store.LoadUserData(backup)) {
            RestoreFrom(app, backup);
            return true;
        }
        // Start-up goes on and writes its pages into the work folder, so the generated
        // files stay where they are.
        ui.ShowMessage("The software was unable to restore the backup file", Icon::Information);
        return false;
    }

    if (!exists) {
        ui.ShowMessage("There are no backups of the .lum file", Icon::Information);
        return true;
    }
    const Answer answer = ui.ShowMessage(
        "There is a backup of the .lum file, with a last modified date:\n\n" + date +
            "\n\nPlease note that restoring this backup will overwrite the current file, losing any changes "
            "made since the backup\n\nDo you want to restore the backup?",
        Icon::Exclamation, Buttons::YesNo);
    if (answer != Answer::Yes) return false;
    RestoreFrom(app, backup);
    return true;
}

void RestoreFrom(CVantlowApp& app, const std::string& source) {
    Ui& ui = app.ui();
    if (!CopyOver(source, app.UserDataPath)) {
        ui.ShowMessage("Failed to copy the restore file\n\nSource: " + source + "\n\nDestination: " + app.UserDataPath,
                       Icon::Stop);
        return;
    }
    RemoveBackupFile(source);
    ui.ShowMessage("Backup restored successfully\n\nThe software will now restart", Icon::Information);
    app.CleanUp();
    // argv needs no quoting: the path goes over as it is.
    app.system().ReplaceProcess(app.ExePath, {FileNameOf(app.ExePath), app.UserDataPath});
    ui.ShowMessage("Unable to restart the software\n\nThe software will now exit - please restart it yourself",
                   Icon::Stop);
    app.system().ExitNow(1);
}

std::string AdjustUserDataPath(const std::string& userDataPath) {
    std::error_code ec;
    if (fs::exists(fs::path(userDataPath), ec)) return userDataPath;
    const std::string n = WithoutExtension(userDataPath);
    const std::size_t L = n.size();
    auto digit = [&](std::size_t i) { return n[i] >= '0' && n[i] <= '9'; };
    if (L > 4 && n[L - 2] == '_' && digit(L - 1)) return n.substr(0, L - 2) + ".lum";
    if (L > 5 && n[L - 3] == '_' && digit(L - 2) && digit(L - 1)) return n.substr(0, L - 3) + ".lum";
    return userDataPath;
}

void LoadUserDataAtStartUp(CVantlowApp& app) {
    app.UserDataPath = AdjustUserDataPath(app.UserDataPath);
    if (!app.store.LoadUserData(app.UserDataPath)) RestoreBackup(app, true);
}

void ShowBackupDialog(CVantlowApp& app) {
    switch (app.ui().ShowBackupDialog()) {
        case BackupChoice::Restore:
            RestoreBackup(app, false);
            break;
        case BackupChoice::ExitWithoutSaving:
            if (app.ui().ShowMessage("Exit the software without saving changes\n\nThis will discard any changes you "
                                     "have made to your playlist, notepad and diary\n\nDo you want to proceed?",
                                     Icon::None, Buttons::YesNo) == Answer::Yes)
                app.ExitWithoutSaving();
            break;
        case BackupChoice::Cancel:
            break;
    }
}

}  // namespace qen
