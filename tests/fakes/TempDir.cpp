#include "fakes/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qen::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qentest_XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const Path& path, const std::string& bytes) {
    std::ofstream out(path.Bytes(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const Path& path) {
    std::ifstream in(path.Bytes(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void MakeFolders(const Path& path) { std::filesystem::create_directories(path.Bytes()); }

bool Exists(const Path& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path.Bytes(), ignored));
}

}  // namespace qen::test
