#include "update/VersionCheck.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "package/ContentPackage.h"
#include "platform/Settings.h"
#include "platform/System.h"
#include "platform/Ui.h"
#include "update/CarriedPackage.h"
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
constexpr const char* kTooLargeForCopy = "Unable to download new version (buffer size problem)";
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

    const std::string programAddress = ProgramAddress(settings, standardName);
    std::string program = fetcher.FetchUpdateBinary(programAddress);
    if (NothingReceived(program)) {
        ui.ShowMessage(kCannotDownload, Icon::Stop);
        return false;
    }
    if (!SignatureHolds(fetcher, *key, UpdateFileKind::Program, *offered, programAddress, program)) {
        ui.ShowMessage(kNotVerified, Icon::Stop);
        return false;
    }

    const Path newProgramPath = programFolder / NextCopyName(ProgramStem(programPath), standardName);
    if (bound) {
        const std::string carried = PackageAsCarried(package);
        if (carried.size() + program.size() > kMaxBoundCopySize) {
            ui.ShowMessage(kTooLargeForCopy, Icon::Stop);
            return false;
        }
        program.append(carried);
    }

    // The replacer is fetched and checked before anything is written, so a failed update
    // leaves the folder as it was.
    std::string replacer;
    if (standardName) {
        const std::string replacerAddress = ReplacerAddress(settings);
        replacer = fetcher.FetchUpdateBinary(replacerAddress);
        if (NothingReceived(replacer)) {
            ui.ShowMessage(TextBeforeZero(replacer), Icon::None, Buttons::Ok);
            ui.ShowMessage(kCannotDownloadReplacer, Icon::Stop);
            return false;
        }
        if (!SignatureHolds(fetcher, *key, UpdateFileKind::Replacer, *offered, replacerAddress, replacer)) {
            ui.ShowMessage(kNotVerified, Icon::Stop);
            return false;
        }
    }

    if (Outcome written = WriteProgramFile(newProgramPath, program); !written) {
        ui.ShowMessage(written.Message(), Icon::Stop);
        return false;
    }
    if (standardName) {
        if (Outcome written = WriteProgramFile(programFolder / kReplacerFileName, replacer); !written) {
            std::error_code ignored;
            std::filesystem::remove(newProgramPath.Bytes(), ignored);
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
