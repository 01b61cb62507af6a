#include "update/CarriedPackage.h"

#include <cstdint>

#include "package/BlockCipher.h"
#include "package/ContentPackage.h"
#include "package/PackageFormat.h"
#include "package/PackageSecrets.h"

namespace qen {

std::string PackageAsCarried(const ContentPackage& package) {
    if (package.BlockStart >= package.Image.size()) return {};
    std::string carried = package.Image.substr(package.BlockStart);
    if (!package.Deciphered() || carried.size() <= block::kData) return carried;

    // The cipher works block by block, so enciphering the deciphered whole blocks again
    // gives back the bytes of the file; a part shorter than a block was never changed.
    std::size_t length = ReadWord(carried, block::kDataLength);
    if (length > carried.size() - block::kData) length = carried.size() - block::kData;
    length -= length % 8;
    BlowfishCipher cipher(PackageCipherKey());
    auto* data = reinterpret_cast<std::uint8_t*>(carried.data() + block::kData);
    cipher.Encrypt(data, length, data);
    return carried;
}

}  // namespace qen
