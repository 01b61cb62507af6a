#include "package/PackageFormat.h"

#include <algorithm>
#include <functional>

namespace qen {

std::uint32_t ReadWord(std::string_view image, std::size_t at) {
    if (at > image.size() || image.size() - at < 4) return 0;
    auto byte = [&](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(image[at + i])); };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

void WriteWord(std::string& image, std::size_t at, std::uint32_t value) {
    if (image.size() < at + 4) image.resize(at + 4, '\0');
    for (int i = 0; i < 4; ++i) image[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string ReadTextField(std::string_view image, std::size_t at, std::size_t size) {
    if (at >= image.size()) return {};
    std::string_view field = image.substr(at, size);
    return std::string(field.substr(0, field.find('\0')));
}

std::optional<std::size_t> FindBlockStart(std::string_view image, std::string_view marker) {
    if (marker.empty() || image.size() <= marker.size()) return std::nullopt;
    // Positions up to, not including, image length - marker length are compared.
    const std::string_view searched = image.substr(0, image.size() - 1);
    const std::boyer_moore_horspool_searcher searcher(marker.begin(), marker.end());
    auto first = std::search(searched.begin(), searched.end(), searcher);
    if (first == searched.end()) return std::nullopt;
    auto second = std::search(first + 1, searched.end(), searcher);
    if (second == searched.end()) return std::nullopt;
    const std::size_t firstAt = std::size_t(first - searched.begin());
    if (std::size_t(second - first) != block::kSecondMarker) return std::nullopt;
    return firstAt;
}

bool IsSafeMemberName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        // ":" would name a drive or a stream on Windows.
        if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20) return false;
    }
    return true;
}

std::string CheckBlockLayout(std::string_view image, std::size_t blockStart, std::uint64_t fileSize) {
    if (blockStart > image.size() || image.size() - blockStart < block::kData || fileSize < image.size())
        return "the package block is cut short";
    const std::uint64_t available = fileSize - blockStart - block::kData;
    const std::uint32_t dataLength = ReadWord(image, blockStart + block::kDataLength);
    if (dataLength % 8 != 0) return "the data length is not a multiple of 8";
    if (dataLength > available) return "the data region runs past the end of the file";
    const std::uint32_t count = ReadWord(image, blockStart + block::kMemberCount);
    if (count > block::kMaxMembers) return "the member count is larger than 100";

    const std::uint64_t dataEnd = block::kData + std::uint64_t(dataLength);
    for (std::uint32_t row = 0; row < count; ++row) {
        const std::size_t at = blockStart + block::kMemberTable + row * block::kMemberRowSize;
        const std::string_view nameField = image.substr(at + block::kMemberNameOffset, block::kMemberNameSize);
        const std::size_t nameEnd = nameField.find('\0');
        if (nameEnd == std::string_view::npos) return "a file name in the package is not terminated";
        const std::string name(nameField.substr(0, nameEnd));
        if (!IsSafeMemberName(name)) return "the package holds a file with an unsafe name: \"" + name + "\"";
        const std::uint64_t offset = ReadWord(image, at);
        const std::uint64_t size = ReadWord(image, at + 4);
        if (offset == 0) continue;  // no data: the member unpacks as an empty file
        if (offset < block::kData || offset + size > dataEnd)
            return "the data of \"" + name + "\" lies outside the package data";
    }
    return {};
}

std::vector<PackageMember> ReadMemberTable(std::string_view image, std::size_t blockStart) {
    std::vector<PackageMember> members;
    const std::uint32_t count =
        std::min<std::uint32_t>(ReadWord(image, blockStart + block::kMemberCount), block::kMaxMembers);
    for (std::uint32_t row = 0; row < count; ++row) {
        const std::size_t at = blockStart + block::kMemberTable + row * block::kMemberRowSize;
        PackageMember member;
        member.offset = ReadWord(image, at);
        member.size = ReadWord(image, at + 4);
        member.name = ReadTextField(image, at + block::kMemberNameOffset, block::kMemberNameSize);
        members.push_back(std::move(member));
    }
    return members;
}

}  // namespace qen
