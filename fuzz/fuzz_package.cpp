// libFuzzer target: a package from arbitrary bytes is opened, its branding read and its
// site built into a private temporary folder. Inputs whose first byte is odd are taken as
// a whole file image; the others become a block with a valid marker pair and header digest
// around the fuzzed bytes, so the layout checks, branding lists and site builder are reached.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <system_error>

#include "package/ContentSite.h"
#include "package/PackageDigest.h"
#include "package/PackageFormat.h"
#include "package/PackageSecrets.h"

namespace {

// Never destroyed, so the exit handler that removes the folder can still name it.
const std::string& WorkFolder() {
    static const std::string* folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("qen_fuzz_package_" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(WorkFolder(), ignored);
        });
        return new std::string(path.string() + "/");
    }();
    return *folder;
}

std::string SignedImage(const std::string& input) {
    namespace block = qen::block;
    const std::string marker = qen::BlockMarker();
    std::string header = input.substr(0, block::kDigestedSize);
    header.resize(block::kDigestedSize, '\0');
    // No recorded content hash, so the fuzzed data reaches the layout checks and the builder.
    std::fill_n(header.begin() + (block::kContentHash - block::kDigested), block::kContentHashSize, '\0');
    std::string image = marker + header;
    image += qen::ComputeKeyedPackageDigest(header);
    image.resize(block::kSecondMarker, '\0');
    image += marker;
    if (input.size() > block::kDigestedSize) image += input.substr(block::kDigestedSize);
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string image = (data[0] & 1) ? input : SignedImage(input);

    qen::ContentPackage package;
    qen::ContentSite site;
    if (package.FindBlock(image) && package.CheckPackageHeader("The .qen file is corrupt") && package.ReadBranding())
        (void)site.BuildSite(package, qen::Path(WorkFolder()));

    // Everything written must have landed in the work folder, and goes again.
    for (const qen::Path& created : site.CreatedFiles) {
        const std::string& path = created.Bytes();
        if (path.rfind(WorkFolder(), 0) != 0 || path.find('/', WorkFolder().size()) != std::string::npos)
            __builtin_trap();
    }
    site.RemoveGeneratedFiles(0, 0);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(WorkFolder(), error))
        std::filesystem::remove_all(entry.path(), error);
    return 0;
}
