#pragma once
// Shared by the benchmarks: a Ui that shows nothing and a private temporary folder.
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <system_error>

#include "platform/Ui.h"

namespace qen::bench {

// Counts the messages it swallows, so a benchmark can tell a failed run from a fast one.
class SilentUi : public Ui {
public:
    Answer ShowMessage(const std::string& text, Icon, Buttons) override {
        ++messages;
        lastMessage = text;
        return Answer::Cancel;
    }
    std::optional<std::string> ChooseFile(const FileDialogRequest&) override { return std::nullopt; }
    bool ShowTermsDialog(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> ShowZoomDialog(const std::string&,
                                              const std::function<std::string(const std::string&, int)>&,
                                              const std::function<bool(const std::string&)>&) override {
        return std::nullopt;
    }
    BackupChoice ShowBackupDialog() override { return BackupChoice::Cancel; }
    bool ShowNoteDialog(NoteDialogState&, const std::function<bool(EditButton, NoteDialogState&)>&) override {
        return false;
    }
    bool ShowDiaryDialog(DiaryDialogState&, const std::function<bool(EditButton, DiaryDialogState&)>&) override {
        return false;
    }
    void BeginBusy() override {}
    void EndBusy() override {}
    void PumpMessages() override {}

    int messages = 0;
    std::string lastMessage;
};

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
