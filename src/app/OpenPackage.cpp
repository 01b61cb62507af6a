#include "app/OpenPackage.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "messages/FileMessages.h"
#include "package/MarkerScan.h"
#include "package/PackageSecrets.h"
#include "platform/Settings.h"
#include "platform/Ui.h"

namespace qen {

namespace {

constexpr const char* kInitDir = "InitDir";
constexpr const char* kOpenDialogFilter =
    "Content packages (*.qen)|*.qen|User data (*.lum)|*.lum|All files|*||";

bool IsExistingFile(const Path& path) {
    std::error_code error;
    return std::filesystem::exists(path.Bytes(), error) && !std::filesystem::is_directory(path.Bytes(), error);
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

std::optional<PackageSource> LocatePackage(Ui& ui, Settings& settings, const Path& exePath,
                                           const Path& commandLineFile, ContentPackage& package,
                                           Path* folderToRemember) {
    if (BlockMarker().size() != block::kMarkerSize) {
        ui.ShowMessage("BranderBlock string is not correct length", Icon::Stop);
        return std::nullopt;
    }
    // The program is opened as a package only when it holds the marker: most carry none.
    if (FindMarkerInFile(exePath, BlockMarker()) != MarkerInFile::Absent) {
        FileError error;
        std::shared_ptr<const ReadableFile> exe = ReadableFile::Open(exePath, &error);
        if (!exe) {
            ShowReadFailure(ui, exePath, error);
            return std::nullopt;
        }
        if (exe->Size() == 0) return std::nullopt;
        if (package.FindBlock(std::move(exe))) return PackageSource{exePath, true};
    }

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
            if (!chosen || chosen->Empty()) return std::nullopt;
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
    return PackageSource{packagePath, false};
}

Path UserDataPathOf(const PackageSource& source) { return source.path.WithExtension(".lum"); }

bool OpenPackage(Ui& ui, Settings& settings, const Path& exePath, const Path& commandLineFile,
                 ContentPackage& package, Path& userDataPath, Path* folderToRemember) {
    const std::optional<PackageSource> source =
        LocatePackage(ui, settings, exePath, commandLineFile, package, folderToRemember);
    if (!source) return false;
    Outcome opened = OpenPackageSource(*source, package);
    if (opened) opened = package.CheckContent(CorruptPackageMessage(source->embedded));
    if (!opened) {
        ui.ShowMessage(opened.Message(), Icon::Stop);
        return false;
    }
    userDataPath = UserDataPathOf(*source);
    return true;
}

}  // namespace qen
