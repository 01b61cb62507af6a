#pragma once
#include <memory>

#include "platform/Settings.h"

class wxFileConfig;

namespace qen {

// "$XDG_CONFIG_HOME/Harrowmint/Qen Runtime.ini" (QEN_CONFIG_HOME overrides the folder),
// one group per section. Every write is flushed so a crash loses nothing already set.
class WxSettings : public Settings {
public:
    WxSettings();
    ~WxSettings() override;
    int GetInt(const std::string& section, const std::string& name, int fallback) override;
    void SetInt(const std::string& section, const std::string& name, int value) override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) override;
    void SetString(const std::string& section, const std::string& name,
                   const std::string& value) override;
    Path GetPath(const std::string& section, const std::string& name) override;
    void SetPath(const std::string& section, const std::string& name, const Path& value) override;

private:
    std::unique_ptr<wxFileConfig> config_;
};

}  // namespace qen
