#pragma once
// Processes, clock and well-known folders.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "base/Path.h"

namespace qen {

using ProcessHandle = std::int64_t;

class System {
public:
    virtual ~System() = default;

    // Full path of the running program file.
    virtual Path ExecutablePath() = 0;
    // The user's temporary folder ending in "/", or nullopt when it cannot be found.
    virtual std::optional<Path> TempFolder() = 0;
    virtual std::int64_t Now() = 0;  // seconds since 1970
    virtual std::int64_t ProcessId() = 0;
    // Whether a process with that id runs (a folder it left may be removed when not).
    virtual bool ProcessIsAlive(std::int64_t processId) = 0;
    // Whether this user may create and replace files in `folder` (false for a program
    // folder the system's package manager owns, such as /usr/bin).
    virtual bool CanWriteIn(const Path& folder) = 0;
    // strftime-style formatting in local time, as system text (the locale's day and month
    // names converted from the locale's own encoding).
    virtual std::string FormatLocalTime(std::int64_t secondsSince1970, const std::string& format) = 0;

    // Starts a program without waiting; `program` without a "/" is looked up on PATH.
    // args[0] is the program's own name as it sees it. nullopt when it cannot start.
    virtual std::optional<ProcessHandle> StartProgram(const std::string& program,
                                                      const std::vector<std::string>& args) = 0;
    // Starts a program and waits; true when it started and exited with code 0.
    virtual bool RunProgram(const std::string& program, const std::vector<std::string>& args) = 0;

    enum class LaunchOutcome { NotStarted, Failed, Succeeded, StillRunning };
    // Starts a program that hands something on (an address to the user's browser) and
    // waits at most `waitMilliseconds` for its exit status. A program still running then
    // (one that runs the browser in the foreground) is left to run and reaped when it ends.
    virtual LaunchOutcome Launch(const std::string& program, const std::vector<std::string>& args,
                                 int waitMilliseconds) = 0;
    // Starts a program without waiting and without keeping it: it is reaped when it ends.
    virtual bool StartDetached(const std::string& program, const std::vector<std::string>& args) = 0;
    virtual void WaitForProgram(ProcessHandle handle) = 0;
    // Replaces this process; returns only when the program could not be started.
    virtual void ReplaceProcess(const std::string& program, const std::vector<std::string>& args) = 0;
    // Ends the process at once, without shutdown.
    [[noreturn]] void ExitNow(int code) {
        EndProcess(code);
        std::abort();
    }

protected:
    virtual void EndProcess(int code) = 0;
};

}  // namespace qen
