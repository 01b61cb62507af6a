#pragma once
// Shared by the benchmarks: a private temporary folder, the baselines' plain write and a
// page template.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace qen::bench {

// The baselines' way of writing a file: open, one write, close; with `sync`, forced to the
// disk before the close, as a durable save must be.
inline bool WritePlainFile(const std::string& path, const std::string& bytes, bool sync = false) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                         (!sync || ::fsync(fd) == 0);
    return ::close(fd) == 0 && written;
}

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

// A template of the example site's size (about 14 KB) with every page token.
inline std::string PageTemplate() {
    std::string page =
        "<html><head><title>%%pagetitle%%</title><link rel=\"stylesheet\" href=\"style.css\"></head>\r\n"
        "<body><div id=\"header\"><img src=\"header.jpg\"><h1>Dog Training</h1></div>\r\n"
        "<div id=\"top\"><div class=\"fl\">%%toplefttext%%</div><div class=\"fr\">%%toprighttext%%</div></div>\r\n"
        "<div class=\"pagebody\" id=\"pagebody\">%%videoposts%%</div>\r\n%%previousnext%%\r\n<script>\r\n";
    for (int n = 1; page.size() < 14'000; ++n)
        page += "function Banner" + std::to_string(n) +
                "() { var width = 100%; return document.getElementById('side" + std::to_string(n) +
                "').className === 'videopost'; }\r\n";
    return page + "</script></body></html>\r\n";
}

}  // namespace qen::bench
