#pragma once
// The replacer: started by the runtime in place of itself once an update is stored, it puts
// "QenRuntime2" in place of "QenRuntime" in its own folder and starts the new program.
// Whatever fails, the previous program stays (or is put back) and the reason goes to stderr.
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Path.h"

namespace qen::replacer {

constexpr std::string_view kProgramName = "QenRuntime";
constexpr std::string_view kNewProgramName = "QenRuntime2";

// The few things the replacer asks of the system.
class Edge {
public:
    virtual ~Edge() = default;
    // The replacer's own file; nullopt when it cannot be found.
    virtual std::optional<Path> OwnPath() = 0;
    // Starts `program` in place of this process. Returns only when it could not, with the reason.
    virtual std::string StartInPlace(const Path& program, const std::vector<std::string>& args) = 0;
};

// Swaps the new program in for the old one by one atomic rename, keeping the old one's
// bytes and mode so that it can be put back.
class ProgramSwap {
public:
    explicit ProgramSwap(Path folder);

    Path ProgramPath() const { return folder_ / kProgramName; }
    Path NewProgramPath() const { return folder_ / kNewProgramName; }

    // False with `error` set when the new program is not there or not a program, or the
    // swap failed: the folder is then as it was.
    bool Apply(std::string& error);
    // Puts the new program back under its own name and the old one in its place.
    bool Undo(std::string& error);

private:
    Path folder_;
    std::optional<std::string> oldBytes_;  // none when there was no old program
    std::filesystem::perms oldMode_ = std::filesystem::perms::none;
};

// The whole run; `args` as the program got them: its own name, "none", and the file the
// runtime had open when it was started with one, which the new program is given again.
// Returns the exit code only when the new program could not be started.
int RunReplacer(const std::vector<std::string>& args, Edge& edge, std::ostream& err);

}  // namespace qen::replacer
