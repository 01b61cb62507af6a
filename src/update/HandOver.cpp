#include "update/HandOver.h"

#include <filesystem>
#include <string>
#include <vector>

#include "files/FileIO.h"
#include "platform/System.h"
#include "platform/Ui.h"
#include "update/CopyNames.h"

namespace qen {

namespace {

Path ReplacerPath(const Path& program) { return program.Folder() / kReplacerFileName; }

}  // namespace

void HandOverToReplacer(Ui& ui, System& system, const Path& program, bool bound, const Path& commandLineFile) {
    // Only a copy under its standard name downloads the replacer: any other copy must not
    // start one that an earlier update left behind, which would swap the wrong program.
    const Path replacer = ReplacerPath(program);
    std::error_code error;
    if (RunsUnderStandardName(program, bound) && std::filesystem::exists(replacer.Bytes(), error)) {
        std::vector<std::string> args{std::string(kReplacerFileName), "none"};
        // Otherwise a program opened from a package elsewhere would come back asking for one.
        if (!commandLineFile.Empty()) args.push_back(commandLineFile.Bytes());
        system.ReplaceProcess(replacer.Bytes(), args);
        ui.ShowMessage("Failed to activate replacer tool to perform upgrade", Icon::Stop);
        return;
    }
    system.ExitNow(1);
}

void RemoveLeftoverReplacer(const Path& program, bool bound) {
    if (bound || program.Empty()) return;
    RemoveFile(ReplacerPath(program));
}

}  // namespace qen
