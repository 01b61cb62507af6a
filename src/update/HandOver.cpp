#include "update/HandOver.h"

#include <filesystem>

#include "files/PathHelpers.h"
#include "platform/System.h"
#include "platform/Ui.h"
#include "update/CopyNames.h"

namespace qen {

namespace {

std::string ReplacerPath(const std::string& programPath) {
    return DirectoryOf(programPath) + std::string(kReplacerFileName);
}

}  // namespace

void HandOverToReplacer(Ui& ui, System& system, const std::string& programPath, bool bound) {
    // Only a copy under its standard name downloads the replacer: any other copy must not
    // start one that an earlier update left behind, which would swap the wrong program.
    const std::string replacer = ReplacerPath(programPath);
    std::error_code error;
    if (RunsUnderStandardName(programPath, bound) && std::filesystem::exists(replacer, error)) {
        system.ReplaceProcess(replacer, {std::string(kReplacerFileName), "none"});
        ui.ShowMessage("Failed to activate replacer tool to perform upgrade", Icon::Stop);
        return;
    }
    system.ExitNow(1);
}

void RemoveLeftoverReplacer(const std::string& programPath, bool bound) {
    if (bound || programPath.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(ReplacerPath(programPath), ignored);
}

}  // namespace qen
