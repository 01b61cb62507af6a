#pragma once
#include "platform/System.h"

namespace qen {

// Processes with posix_spawn/execv/waitpid, the clock and the temporary folder.
class PosixSystem : public System {
public:
    Path ExecutablePath() override;
    std::optional<Path> TempFolder() override;
    std::int64_t Now() override;
    std::int64_t ProcessId() override;
    bool ProcessIsAlive(std::int64_t processId) override;
    bool CanWriteIn(const Path& folder) override;
    std::string FormatLocalTime(std::int64_t secondsSince1970, const std::string& format) override;
    std::optional<ProcessHandle> StartProgram(const std::string& program,
                                              const std::vector<std::string>& args) override;
    bool RunProgram(const std::string& program, const std::vector<std::string>& args) override;
    LaunchOutcome Launch(const std::string& program, const std::vector<std::string>& args,
                         int waitMilliseconds) override;
    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override;
    void WaitForProgram(ProcessHandle handle) override;
    void ReplaceProcess(const std::string& program, const std::vector<std::string>& args) override;

protected:
    void EndProcess(int code) override;
};

// Text the C library wrote in the locale's encoding (`codeset`, as nl_langinfo names it)
// as system text.
std::string LocaleTextToSystemText(const std::string& text, const std::string& codeset);

}  // namespace qen
