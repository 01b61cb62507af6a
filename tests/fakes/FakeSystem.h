#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/System.h"

namespace qen::test {

// Thrown by the fake where the real system would end the process.
struct ProcessEnded {
    int code;
};
// Thrown by the fake where the real system would replace the process.
struct ProcessReplaced {
    std::string program;
    std::vector<std::string> args;
};

struct StartedProgram {
    std::string program;
    std::vector<std::string> args;
};

class FakeSystem : public System {
public:
    Path executablePath{"/opt/qen/QenRuntime"};
    std::optional<Path> tempFolder = Path("/tmp/");
    std::int64_t now = 1'700'000'000;
    std::int64_t processId = 4242;
    std::set<std::int64_t> liveProcesses;
    std::set<std::string> readOnlyFolders;  // CanWriteIn gives false for these (Path bytes)

    std::vector<StartedProgram> started;          // StartProgram calls
    std::vector<StartedProgram> ran;              // RunProgram calls
    std::vector<StartedProgram> launched;         // Launch calls
    std::vector<StartedProgram> detached;         // StartDetached calls
    std::set<std::string> programsStillRunning;   // Launch gives StillRunning for these
    std::set<std::string> programsThatFail;       // StartProgram/RunProgram/ReplaceProcess fail for these
    std::vector<ProcessHandle> waitedFor;
    bool replaceFails = false;
    ProcessHandle nextHandle = 100;

    Path ExecutablePath() override { return executablePath; }
    std::optional<Path> TempFolder() override { return tempFolder; }
    std::int64_t Now() override { return now; }
    std::int64_t ProcessId() override { return processId; }
    bool ProcessIsAlive(std::int64_t id) override { return id == processId || liveProcesses.count(id) > 0; }
    bool CanWriteIn(const Path& folder) override { return readOnlyFolders.count(folder.Bytes()) == 0; }
    std::string FormatLocalTime(std::int64_t secondsSince1970, const std::string& format) override;
    std::optional<ProcessHandle> StartProgram(const std::string& program,
                                              const std::vector<std::string>& args) override;
    bool RunProgram(const std::string& program, const std::vector<std::string>& args) override;
    LaunchOutcome Launch(const std::string& program, const std::vector<std::string>& args,
                         int waitMilliseconds) override;
    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override;
    void WaitForProgram(ProcessHandle handle) override { waitedFor.push_back(handle); }
    void ReplaceProcess(const std::string& program, const std::vector<std::string>& args) override;

protected:
    void EndProcess(int code) override { throw ProcessEnded{code}; }
};

}  // namespace qen::test
