#include "fakes/FakeSystem.h"

#include <ctime>

namespace qen::test {

// Tests run with TZ=UTC (see the test main), so local time is predictable.
std::string FakeSystem::FormatLocalTime(std::int64_t secondsSince1970, const std::string& format) {
    std::time_t time = static_cast<std::time_t>(secondsSince1970);
    std::tm parts{};
    gmtime_r(&time, &parts);
    char text[256];
    std::size_t length = std::strftime(text, sizeof text, format.c_str(), &parts);
    return std::string(text, length);
}

std::optional<ProcessHandle> FakeSystem::StartProgram(const std::string& program,
                                                      const std::vector<std::string>& args) {
    started.push_back({program, args});
    if (programsThatFail.count(program)) return std::nullopt;
    return nextHandle++;
}

bool FakeSystem::RunProgram(const std::string& program, const std::vector<std::string>& args) {
    ran.push_back({program, args});
    return !programsThatFail.count(program);
}

System::LaunchOutcome FakeSystem::Launch(const std::string& program, const std::vector<std::string>& args,
                                         int) {
    launched.push_back({program, args});
    if (programsThatFail.count(program)) return LaunchOutcome::Failed;
    if (programsStillRunning.count(program)) return LaunchOutcome::StillRunning;
    return LaunchOutcome::Succeeded;
}

bool FakeSystem::StartDetached(const std::string& program, const std::vector<std::string>& args) {
    detached.push_back({program, args});
    return !programsThatFail.count(program);
}

void FakeSystem::ReplaceProcess(const std::string& program, const std::vector<std::string>& args) {
    if (replaceFails || programsThatFail.count(program)) return;
    throw ProcessReplaced{program, args};
}

}  // namespace qen::test
