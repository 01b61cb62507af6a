#pragma once
// Sets or clears environment variables for one scope and puts back what was there.
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qen::test {

class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() { Restore(); }

    // Puts back every variable changed so far; the scope may go on changing others.
    void Restore() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
        saved_.clear();
    }

    ScopedEnvironment& Set(const std::string& name, const std::string& value) {
        Save(name);
        setenv(name.c_str(), value.c_str(), 1);
        return *this;
    }
    ScopedEnvironment& Clear(const std::string& name) {
        Save(name);
        unsetenv(name.c_str());
        return *this;
    }

private:
    void Save(const std::string& name) {
        const char* value = std::getenv(name.c_str());
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace qen::test
