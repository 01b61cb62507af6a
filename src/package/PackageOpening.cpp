#include "package/PackageOpening.h"

#include <memory>
#include <vector>

#include "files/FileIO.h"
#include "package/RequiredSiteFiles.h"

namespace qen {

namespace {

// A whole package whose site cannot show a page is refused as a damaged one is.
Outcome RequireSiteFiles(const ContentPackage& package, const std::string& corruptMessage) {
    std::vector<std::string> names;
    for (const PackageMember& member : package.Members()) names.push_back(member.name);
    const std::string missing = MissingSiteFiles(names);
    if (missing.empty()) return Outcome::Success();
    return Outcome::Failure(corruptMessage + " (it has no " + missing + ")");
}

Outcome ReadFailure(const Path& path, const FileError& error) {
    std::string message = "Unable to read file: " + path.Display();
    if (error.kind == FileError::Kind::OutOfMemory) message = "Insufficient memory\n\n" + message;
    return Outcome::Failure(message);
}

}  // namespace

const char* CorruptPackageMessage(bool embedded) {
    return embedded ? "The .exe file is corrupt" : "The .qen file is corrupt";
}

Outcome OpenPackageSource(const PackageSource& source, ContentPackage& package) {
    package.Embedded = source.embedded;
    if (!source.embedded) {
        FileError error;
        std::shared_ptr<const ReadableFile> file = ReadableFile::Open(source.path, &error);
        if (!file) return ReadFailure(source.path, error);
        if (file->Size() > kMaxReadableFileSize) return ReadFailure(source.path, {FileError::Kind::TooLarge});
        // An empty file is said to be unusable rather than ending the program without a word.
        if (file->Size() == 0 || !package.FindBlock(std::move(file)))
            return Outcome::Failure(source.path.DisplayName() + " is not compatible with the Qen Runtime");
    }
    const std::string corrupt = CorruptPackageMessage(source.embedded);
    Outcome checked = package.CheckPackageHeader(corrupt);
    if (checked) checked = RequireSiteFiles(package, corrupt);
    return checked;
}

}  // namespace qen
