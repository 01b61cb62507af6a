#pragma once
// A platform without a screen, for programs that run the logic unattended (fuzzers,
// benchmarks): messages are counted, never shown; every question is declined; settings
// give their defaults and keep nothing.
#include <optional>
#include <string>

#include "platform/Settings.h"
#include "platform/Ui.h"

namespace qen {

class HeadlessUi : public Ui {
public:
    Answer ShowMessage(const std::string& text, Icon, Buttons) override {
        ++messages;
        lastMessage = text;
        return Answer::Cancel;
    }
    std::optional<Path> ChooseFile(const FileDialogRequest&) override { return std::nullopt; }
    void BeginBusy() override {}
    void EndBusy() override {}
    void PumpMessages() override {}

    int messages = 0;
    std::string lastMessage;
};

class DefaultSettings : public Settings {
public:
    int GetInt(const std::string&, const std::string&, int fallback) override { return fallback; }
    void SetInt(const std::string&, const std::string&, int) override {}
    std::string GetString(const std::string&, const std::string&, const std::string& fallback) override {
        return fallback;
    }
    void SetString(const std::string&, const std::string&, const std::string&) override {}
    Path GetPath(const std::string&, const std::string&) override { return Path(); }
    void SetPath(const std::string&, const std::string&, const Path&) override {}
};

}  // namespace qen
