#pragma once
#include <map>
#include <string>
#include <utility>

#include "platform/Settings.h"

namespace qen::test {

class FakeSettings : public Settings {
public:
    std::map<std::pair<std::string, std::string>, int> ints;
    std::map<std::pair<std::string, std::string>, std::string> strings;
    std::map<std::pair<std::string, std::string>, Path> paths;
    int writes = 0;

    int GetInt(const std::string& section, const std::string& name, int fallback) override {
        auto found = ints.find({section, name});
        return found == ints.end() ? fallback : found->second;
    }
    void SetInt(const std::string& section, const std::string& name, int value) override {
        ints[{section, name}] = value;
        ++writes;
    }
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) override {
        auto found = strings.find({section, name});
        return found == strings.end() ? fallback : found->second;
    }
    void SetString(const std::string& section, const std::string& name,
                   const std::string& value) override {
        strings[{section, name}] = value;
        ++writes;
    }
    Path GetPath(const std::string& section, const std::string& name) override {
        auto found = paths.find({section, name});
        return found == paths.end() ? Path() : found->second;
    }
    void SetPath(const std::string& section, const std::string& name, const Path& value) override {
        paths[{section, name}] = value;
        ++writes;
    }
};

}  // namespace qen::test
