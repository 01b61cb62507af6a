#include "package/OpenPackage.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "files/FileMessages.h"
#include "package/MarkerScan.h"
#include "package/PackageSecrets.h"
#include "package/RequiredSiteFiles.h"
#include "platform/Settings.h"
#include "platform/Ui.h"

namespace qen {

namespace {

constexpr const char* kExeCorrupt = "The .exe file is corrupt";
constexpr const char* kQenCorrupt = "The .qen file is corrupt";
constexpr const char* kInitDir = "InitDir";
constexpr const char* kOpenDialogFilter =
    "Content packages (*.qen)|*.qen|User data (*.lum)|*.lum|All files|*||";

bool IsExistingFile(const Path& path) {
    std::error_code error;
    return std::filesystem::exists(path.Bytes(), error) && !std::filesystem::is_directory(path.Bytes(), error);
}

// A whole package whose site cannot show a page is refused as a damaged one is.
Outcome RequireSiteFiles(const ContentPackage& package, const std::string& corruptMessage) {
    std::vector<std::string> names;
    for (const PackageMember& member : package.Members()) names.push_back(member.name);
    const std::string missing = MissingSiteFiles(names);
    if (missing.empty()) return Outcome::Success();
    return Outcome::Failure(corruptMessage + " (it has no " + missing + ")");
}

bool Check(Ui& ui, ContentPackage& package, const char* corruptMessage) {
    Outcome checked = package.CheckPackageHeader(corruptMessage);
    if (checked) checked = RequireSiteFiles(package, corruptMessage);
    if (!checked) ui.ShowMessage(checked.Message(), Icon::Stop);
    return checked.Ok();
}

// The package named on the command line: a ".qen" file, or the ".qen" beside a ".lum".
// A name that is no file is said to be so before anything else is tried.
Path PackageOnCommandLine(Ui& ui, const Path& commandLineFile) {
    if (commandLineFile.Empty()) return {};
    std::error_code error;
    if (std::filesystem::is_directory(commandLineFile.Bytes(), error)) {
        ui.ShowMessage(commandLineFile.Display() + " is a folder", Icon::Stop);
        return {};
    }
    if (!IsExistingFile(commandLineFile)) {
        ui.ShowMessage(commandLineFile.Display() + " was not found", Icon::Stop);
        return {};
    }
    const std::string extension = commandLineFile.Extension();
    if (extension == ".qen") return commandLineFile;
    if (extension == ".lum") return commandLineFile.WithExtension(".qen");
    return {};
}

}  // namespace

PackageBeside FindPackageBeside(const Path& exePath) {
    const Path besideExe = exePath.WithExtension(".qen");
    if (IsExistingFile(besideExe)) return {PackageBeside::Found::One, besideExe};

    const Path folder = exePath.Folder();
    std::error_code error;
    std::filesystem::directory_iterator entries(folder.Empty() ? "." : folder.Bytes(), error);
    if (error) return {};
    PackageBeside beside;
    for (const auto& entry : entries) {
        std::error_code entryError;
        if (entry.is_directory(entryError)) continue;
        const Path name(entry.path().filename().string());
        if (name.Extension() != ".qen") continue;
        if (beside.found == PackageBeside::Found::One) return {PackageBeside::Found::Several, {}};
        beside = {PackageBeside::Found::One, folder / name.Bytes()};
    }
    return beside;
}

void RememberPackageFolder(Settings& settings, const Path& folder) {
    if (!folder.Empty()) settings.SetPath(ContentPackage::kDefaultSettingsName, kInitDir, folder);
}

bool OpenPackage(Ui& ui, Settings& settings, const Path& exePath, const Path& commandLineFile,
                 ContentPackage& package, Path& userDataPath, Path* folderToRemember) {
    if (BlockMarker().size() != block::kMarkerSize) {
        ui.ShowMessage("BranderBlock string is not correct length", Icon::Stop);
        return false;
    }
    // The program is read whole only when it holds the marker: most carry no package, and
    // reading a large program whole costs more of the start than anything else here.
    std::optional<std::string> exeImage;
    if (FindMarkerInFile(exePath, BlockMarker()) != MarkerInFile::Absent) {
        exeImage = ReadWholeFile(ui, exePath);
        if (!exeImage || exeImage->empty()) return false;
    }
    package.Embedded = true;
    if (exeImage && package.FindBlock(std::move(*exeImage))) {
        if (!Check(ui, package, kExeCorrupt)) return false;
        userDataPath = exePath.WithExtension(".lum");
        return true;
    }

    package.Embedded = false;
    Path packagePath = PackageOnCommandLine(ui, commandLineFile);
    if (packagePath.Empty()) {
        Path initialFolder = settings.GetPath(ContentPackage::kDefaultSettingsName, kInitDir);
        const PackageBeside beside = FindPackageBeside(exePath);
        if (beside.found == PackageBeside::Found::Several)
            initialFolder = exePath.Folder();
        else
            packagePath = beside.path;

        if (packagePath.Empty()) {
            FileDialogRequest request;
            request.title = "Select a .qen file";
            request.filter = kOpenDialogFilter;
            request.initialFolder = initialFolder;
            std::optional<Path> chosen = ui.ChooseFile(request);
            if (!chosen || chosen->Empty()) return false;
            // As on the command line, user data opens the package beside it.
            packagePath = chosen->Extension() == ".lum" ? chosen->WithExtension(".qen") : *chosen;
            if (packagePath.Folder() != exePath.Folder()) {
                if (folderToRemember)
                    *folderToRemember = packagePath.Folder();
                else
                    RememberPackageFolder(settings, packagePath.Folder());
            }
        }
    }

    std::optional<std::string> image = ReadWholeFile(ui, packagePath);
    if (!image) return false;
    // An empty file is said to be unusable rather than ending the program without a word.
    if (image->empty() || !package.FindBlock(std::move(*image))) {
        ui.ShowMessage(packagePath.DisplayName() + " is not compatible with the Qen Runtime", Icon::Stop);
        return false;
    }
    if (!Check(ui, package, kQenCorrupt)) return false;
    userDataPath = packagePath.WithExtension(".lum");
    return true;
}

}  // namespace qen
