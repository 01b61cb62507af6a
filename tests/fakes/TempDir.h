#pragma once
// A fresh folder for one test, removed afterwards. path() ends in "/".
#include <filesystem>
#include <string>

#include "base/Path.h"

namespace qen::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    Path path() const { return Path(path_.string() + "/"); }
    Path operator/(const std::string& name) const { return path() / name; }

private:
    std::filesystem::path path_;
};

// Small file helpers for fixtures.
void WriteFile(const Path& path, const std::string& bytes);
std::string ReadFile(const Path& path);
bool Exists(const Path& path);
void MakeFolders(const Path& path);
// The same for a path the test holds as an address (the view's form of a local page).
inline void WriteFile(const std::string& path, const std::string& bytes) { WriteFile(Path(path), bytes); }
inline std::string ReadFile(const std::string& path) { return ReadFile(Path(path)); }
inline bool Exists(const std::string& path) { return Exists(Path(path)); }
// A file in `dir` as a command line names it.
inline std::string At(const TempDir& dir, const std::string& name) { return (dir / name).Bytes(); }

}  // namespace qen::test
