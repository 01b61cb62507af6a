#pragma once
#include "platform/System.h"

namespace qen {

// Processes with posix_spawn/execv/waitpid, the clock and the temporary folder.
class PosixSystem : public System {
public:
    std::string ExecutablePath() override;
    std::optional<std::string> TempFolder() override;
    std::int64_t Now() override;
    std::string FormatLocalTime(std::int64_t secondsSince1970, const std::string& format) override;
    std::optional<ProcessHandle> StartProgram(const std::string& program,
                                              const std::vector<std::string>& args) override;
    bool RunProgram(const std::string& program, const std::vector<std::string>& args) override;
    void WaitForProgram(ProcessHandle handle) override;
    void ReplaceProcess(const std::string& program, const std::vector<std::string>& args) override;

protected:
    void EndProcess(int code) override;
};

}  // namespace qen
