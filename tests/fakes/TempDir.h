#pragma once
// A fresh folder for one test, removed afterwards. path() ends in "/".
#include <filesystem>
#include <string>

namespace qen::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path() const { return path_.string() + "/"; }
    std::string operator/(const std::string& name) const { return path() + name; }

private:
    std::filesystem::path path_;
};

// Small file helpers for fixtures.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

}  // namespace qen::test
