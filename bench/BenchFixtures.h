#pragma once
// Shared by the benchmarks: a private temporary folder.
#include <filesystem>
#include <random>
#include <string>
#include <system_error>


namespace qen::bench {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempFolder {
public:
    explicit TempFolder(const std::string& tag) {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("qen_bench_" + tag + "_" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing "/", as the runtime's work folder is given.
    std::string Path() const { return path_.string() + "/"; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    // Empties the folder without removing it.
    void Clear() const {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(path_, ignored))
            std::filesystem::remove_all(entry.path(), ignored);
    }

private:
    std::filesystem::path path_;
};

}  // namespace qen::bench
