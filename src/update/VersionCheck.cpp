#include "update/VersionCheck.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "files/FileIO.h"
#include "package/ContentPackage.h"
#include "platform/Settings.h"
#include "platform/System.h"
#include "platform/Ui.h"
#include "update/CopyNames.h"
#include "update/InstalledCopy.h"
#include "update/ProgramFile.h"
#include "update/UpdateAddresses.h"
#include "update/UpdateKey.h"
#include "update/UpdateSignature.h"
#include "update/VersionFile.h"
#include "web/Fetcher.h"

namespace qen {

namespace {

constexpr const char* kCheckSection = "VersionCheck";
constexpr const char* kCheckValue = "VersionCheck";
constexpr std::int64_t kSecondsPerDay = 86'400;

constexpr const char* kOfferUpdate = "A new version of this software is available\n\nWould you like to download it now?";
constexpr const char* kCannotDownload = "Unable to download new version";
constexpr const char* kTooLarge = "Unable to download new version: the new program is larger than 256 MB";
constexpr const char* kTooLargeForCopy =
    "Unable to download new version: the new program and its package together would be larger than 256 MB";
constexpr const char* kPackageUnreadable =
    "Unable to download new version: the package in this program's file could not be read again";
constexpr const char* kCannotDownloadReplacer = "Unable to download new version replace tool";
constexpr const char* kNotVerified = "The downloaded update could not be verified and was not installed";

bool CheckedWithinADay(Settings& settings, std::int64_t now) {
    const std::int64_t last = settings.GetInt(kCheckSection, kCheckValue, 0);
    // A time still to come was recorded under a clock that has since been set back; it
    // must not put off the check for as long as the clock was wrong.
    return last <= now && now - kSecondsPerDay < last;
}

void RecordCheck(Settings& settings, std::int64_t now) {
    settings.SetInt(kCheckSection, kCheckValue, static_cast<int>(std::clamp<std::int64_t>(now, 0, INT_MAX)));
}

std::string InstalledBySystemNotice(VersionNumber offered) {
    return "Version " + std::to_string(offered) +
           " of this software is available\n\nIt is installed through the system's software updates";
}

bool NothingReceived(const std::string& data) { return data.empty() || IsNotFoundPage(data); }

// An update file saved beside its place but not yet put there, and its bytes read back
// for the checks. The bytes are kept also when they are a not-found page, to be shown.
struct DownloadedFile {
    UpdateFileDownload::Status status = UpdateFileDownload::Status::NothingReceived;
    std::unique_ptr<FileSave> file;
    std::string bytes;
};

DownloadedFile DownloadBeside(Fetcher& fetcher, const std::string& address, const Path& target,
                              std::uint64_t maxBytes) {
    DownloadedFile result;
    std::unique_ptr<FileSave> file = BeginProgramFile(target);
    if (!file) {
        result.status = UpdateFileDownload::Status::NotWritten;
        return result;
    }
    UpdateFileDownload download = fetcher.FetchUpdateFile(address, std::move(file), maxBytes);
    result.status = download.status;
    if (download.status != UpdateFileDownload::Status::Received) return result;
    std::optional<std::string> bytes = ReadFileBytes(download.file->SavingPath());
    if (!bytes) {
        result.status = UpdateFileDownload::Status::NotWritten;
        return result;
    }
    result.bytes = std::move(*bytes);
    if (NothingReceived(result.bytes)) {
        result.status = UpdateFileDownload::Status::NothingReceived;
        return result;
    }
    result.file = std::move(download.file);
    return result;
}

std::string TextBeforeZero(const std::string& data) { return data.substr(0, data.find('\0')); }

bool SignatureHolds(Fetcher& fetcher, const UpdatePublicKey& key, UpdateFileKind kind, VersionNumber version,
                    const std::string& address, const std::string& file) {
    const std::string signature = fetcher.FetchUpdateBinary(SignatureAddress(address));
    return VerifyUpdateFile(key, kind, version, file, signature);
}

}  // namespace

bool CheckForNewVersion(Ui& ui, Settings& settings, System& system, Fetcher& fetcher,
                        const ContentPackage& package) {
    const Path programPath = system.ExecutablePath();
    if (programPath.Empty()) return false;
    const Path programFolder = programPath.Folder();
    const bool bound = package.Embedded;
    // Without a key no download could ever be installed, so none is looked for.
    const std::optional<UpdatePublicKey> key = LoadUpdatePublicKey(programFolder);
    if (!key) return false;

    const std::int64_t now = system.Now();
    if (CheckedWithinADay(settings, now)) return false;

    const bool standardName = RunsUnderStandardName(programPath, bound);
    BusyCursor busy(ui);

    const std::string versionText = fetcher.FetchUpdateText(VersionFileAddress(settings));
    if (NothingReceived(versionText)) return false;
    RecordCheck(settings, now);
    const std::optional<VersionNumber> offered = ParseVersionFile(versionText);
    if (!offered || RunningVersion() >= *offered) return false;

    // A copy the system's package manager installed is updated by it; a download could
    // not be stored beside it anyway, unless the user is root.
    if (!system.CanWriteIn(programFolder) || IsInstalledCopy(programPath)) {
        ui.ShowMessage(InstalledBySystemNotice(*offered), Icon::Information);
        return false;
    }
    if (ui.ShowMessage(kOfferUpdate, Icon::Information, Buttons::YesNo) != Answer::Yes) return false;

    const Path newProgramPath = programFolder / NextCopyName(ProgramStem(programPath), standardName);
    // The new file carries the package after the program, so the package's size comes off
    // what the download may take.
    std::string carried;
    if (bound) {
        std::optional<std::string> block = package.BlockAsStored();
        if (!block) {
            ui.ShowMessage(kPackageUnreadable, Icon::Stop);
            return false;
        }
        carried = std::move(*block);
    }
    if (carried.size() >= kMaxUpdateFileSize) {
        ui.ShowMessage(kTooLargeForCopy, Icon::Stop);
        return false;
    }
    const std::string programAddress = ProgramAddress(settings, standardName);
    DownloadedFile program = DownloadBeside(fetcher, programAddress, newProgramPath, kMaxUpdateFileSize - carried.size());
    switch (program.status) {
        case UpdateFileDownload::Status::Received:
            break;
        case UpdateFileDownload::Status::NothingReceived:
            ui.ShowMessage(kCannotDownload, Icon::Stop);
            return false;
        case UpdateFileDownload::Status::TooLarge:
            ui.ShowMessage(bound ? kTooLargeForCopy : kTooLarge, Icon::Stop);
            return false;
        case UpdateFileDownload::Status::NotWritten:
            ui.ShowMessage(CannotWriteProgramFile(newProgramPath).Message(), Icon::Stop);
            return false;
    }
    if (!SignatureHolds(fetcher, *key, UpdateFileKind::Program, *offered, programAddress, program.bytes)) {
        ui.ShowMessage(kNotVerified, Icon::Stop);
        return false;
    }
    program.bytes.clear();
    program.bytes.shrink_to_fit();
    if (bound && !program.file->Append(carried)) {
        ui.ShowMessage(CannotWriteProgramFile(newProgramPath).Message(), Icon::Stop);
        return false;
    }

    // The replacer is fetched and checked before anything is put in place, so a failed
    // update leaves the folder as it was.
    const Path replacerPath = programFolder / kReplacerFileName;
    DownloadedFile replacer;
    if (standardName) {
        const std::string replacerAddress = ReplacerAddress(settings);
        replacer = DownloadBeside(fetcher, replacerAddress, replacerPath, kMaxUpdateFileSize);
        switch (replacer.status) {
            case UpdateFileDownload::Status::Received:
                break;
            case UpdateFileDownload::Status::NothingReceived:
                ui.ShowMessage(TextBeforeZero(replacer.bytes), Icon::None, Buttons::Ok);
                [[fallthrough]];
            case UpdateFileDownload::Status::TooLarge:
                ui.ShowMessage(kCannotDownloadReplacer, Icon::Stop);
                return false;
            case UpdateFileDownload::Status::NotWritten:
                ui.ShowMessage(CannotWriteProgramFile(replacerPath).Message(), Icon::Stop);
                return false;
        }
        if (!SignatureHolds(fetcher, *key, UpdateFileKind::Replacer, *offered, replacerAddress, replacer.bytes)) {
            ui.ShowMessage(kNotVerified, Icon::Stop);
            return false;
        }
    }

    if (Outcome written = CommitProgramFile(*program.file, newProgramPath); !written) {
        ui.ShowMessage(written.Message(), Icon::Stop);
        return false;
    }
    if (standardName) {
        if (Outcome written = CommitProgramFile(*replacer.file, replacerPath); !written) {
            RemoveFile(newProgramPath);
            ui.ShowMessage(written.Message(), Icon::Stop);
            return false;
        }
        return true;
    }
    ui.ShowMessage("The new version has been downloaded as " + newProgramPath.Display() +
                       "\n\nThis software will now exit\n\nPlease activate the new version in future"
                       "\n\nYou can delete the original version, if you wish",
                   Icon::Information);
    return true;
}

}  // namespace qen
