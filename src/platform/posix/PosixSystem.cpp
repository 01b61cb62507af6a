#include "platform/posix/PosixSystem.h"

#include <iconv.h>
#include <signal.h>
#include <langinfo.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <ctime>
#include <filesystem>
#include <thread>

#include "text/TextEncoding.h"

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

std::optional<pid_t> Spawn(const std::string& program, const std::vector<std::string>& args) {
    const std::vector<std::string> fullArgs = args.empty() ? std::vector<std::string>{program} : args;
    std::vector<char*> argv = ArgvOf(fullArgs);
    pid_t pid = 0;
    const int result = IsSearchedOnPath(program)
                           ? posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ)
                           : posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (result != 0) return std::nullopt;
    return pid;
}

// Waits for the child in the background so it never lingers as a zombie.
void ReapLater(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

bool ExitedCleanly(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

std::string ConvertToUtf8(const std::string& text, const std::string& codeset) {
    iconv_t converter = iconv_open("UTF-8", codeset.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out(text.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1)) return text;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::string LocaleTextToSystemText(const std::string& text, const std::string& codeset) {
    if (codeset == "UTF-8" || codeset == "utf8") return Utf8ToAnsiWithReferences(text);
    bool ascii = true;
    for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return text;
    return Utf8ToAnsiWithReferences(ConvertToUtf8(text, codeset));
}

Path PosixSystem::ExecutablePath() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? Path() : Path(self.string());
}

std::optional<Path> PosixSystem::TempFolder() {
    std::error_code error;
    std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error || temp.empty()) return std::nullopt;
    std::string folder = temp.string();
    if (folder.back() != '/') folder += '/';
    return Path(folder);
}

std::int64_t PosixSystem::Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::int64_t PosixSystem::ProcessId() { return static_cast<std::int64_t>(::getpid()); }

bool PosixSystem::ProcessIsAlive(std::int64_t processId) {
    if (processId <= 0 || processId > INT_MAX) return false;
    return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

bool PosixSystem::CanWriteIn(const Path& folder) {
    // Creating and renaming entries needs both write and search permission on the folder.
    const std::string name = folder.Empty() ? std::string(".") : folder.Bytes();
    return ::access(name.c_str(), W_OK | X_OK) == 0;
}

std::string PosixSystem::FormatLocalTime(std::int64_t secondsSince1970, const std::string& format) {
    std::time_t time = static_cast<std::time_t>(secondsSince1970);
    std::tm parts{};
    if (!localtime_r(&time, &parts)) return std::string();
    char text[256];
    std::size_t length = std::strftime(text, sizeof text, format.c_str(), &parts);
    return LocaleTextToSystemText(std::string(text, length), nl_langinfo(CODESET));
}

std::optional<ProcessHandle> PosixSystem::StartProgram(const std::string& program,
                                                       const std::vector<std::string>& args) {
    std::optional<pid_t> pid = Spawn(program, args);
    if (!pid) return std::nullopt;
    return static_cast<ProcessHandle>(*pid);
}

bool PosixSystem::RunProgram(const std::string& program, const std::vector<std::string>& args) {
    std::optional<pid_t> pid = Spawn(program, args);
    if (!pid) return false;
    int status = 0;
    while (waitpid(*pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return ExitedCleanly(status);
}

System::LaunchOutcome PosixSystem::Launch(const std::string& program, const std::vector<std::string>& args,
                                          int waitMilliseconds) {
    std::optional<pid_t> pid = Spawn(program, args);
    if (!pid) return LaunchOutcome::NotStarted;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(*pid, &status, WNOHANG);
        if (done == *pid) return ExitedCleanly(status) ? LaunchOutcome::Succeeded : LaunchOutcome::Failed;
        if (done < 0 && errno != EINTR) return LaunchOutcome::Failed;
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ReapLater(*pid);
    return LaunchOutcome::StillRunning;
}

bool PosixSystem::StartDetached(const std::string& program, const std::vector<std::string>& args) {
    std::optional<pid_t> pid = Spawn(program, args);
    if (!pid) return false;
    ReapLater(*pid);
    return true;
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
