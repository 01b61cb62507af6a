#include "platform/posix/PosixSystem.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>
#include <filesystem>

extern char** environ;

namespace qen {

namespace {

// The pointers point into `args`, which must outlive the returned vector.
std::vector<char*> ArgvOf(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    return argv;
}

bool IsSearchedOnPath(const std::string& program) { return program.find('/') == std::string::npos; }

}  // namespace

std::string PosixSystem::ExecutablePath() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}

std::optional<std::string> PosixSystem::TempFolder() {
    std::error_code error;
    std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error || temp.empty()) return std::nullopt;
    std::string folder = temp.string();
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::int64_t PosixSystem::Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::string PosixSystem::FormatLocalTime(std::int64_t secondsSince1970, const std::string& format) {
    std::time_t time = static_cast<std::time_t>(secondsSince1970);
    std::tm parts{};
    if (!localtime_r(&time, &parts)) return std::string();
    char text[256];
    std::size_t length = std::strftime(text, sizeof text, format.c_str(), &parts);
    return std::string(text, length);
}

std::optional<ProcessHandle> PosixSystem::StartProgram(const std::string& program,
                                                       const std::vector<std::string>& args) {
    const std::vector<std::string> fullArgs = args.empty() ? std::vector<std::string>{program} : args;
    std::vector<char*> argv = ArgvOf(fullArgs);
    pid_t pid = 0;
    int result = IsSearchedOnPath(program)
                     ? posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ)
                     : posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (result != 0) return std::nullopt;
    return static_cast<ProcessHandle>(pid);
}

bool PosixSystem::RunProgram(const std::string& program, const std::vector<std::string>& args) {
    std::optional<ProcessHandle> handle = StartProgram(program, args);
    if (!handle) return false;
    int status = 0;
    while (waitpid(static_cast<pid_t>(*handle), &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void PosixSystem::WaitForProgram(ProcessHandle handle) {
    int status = 0;
    while (waitpid(static_cast<pid_t>(handle), &status, 0) < 0) {
        if (errno != EINTR) return;
    }
}

void PosixSystem::ReplaceProcess(const std::string& program, const std::vector<std::string>& args) {
    const std::vector<std::string> fullArgs = args.empty() ? std::vector<std::string>{program} : args;
    std::vector<char*> argv = ArgvOf(fullArgs);
    execv(program.c_str(), argv.data());
}

void PosixSystem::EndProcess(int code) { _exit(code); }

}  // namespace qen
