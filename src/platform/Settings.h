#pragma once
// The per-user settings profile: integer and text values by section.
#include <string>

#include "base/Path.h"

namespace qen {

class Settings {
public:
    virtual ~Settings() = default;
    virtual int GetInt(const std::string& section, const std::string& name, int fallback) = 0;
    virtual void SetInt(const std::string& section, const std::string& name, int value) = 0;
    virtual std::string GetString(const std::string& section, const std::string& name,
                                  const std::string& fallback) = 0;
    virtual void SetString(const std::string& section, const std::string& name,
                           const std::string& value) = 0;
    // A path is kept as its own bytes, never as system text.
    virtual Path GetPath(const std::string& section, const std::string& name) = 0;
    virtual void SetPath(const std::string& section, const std::string& name, const Path& value) = 0;
};

}  // namespace qen
