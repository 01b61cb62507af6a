#include "Replacer.h"

#include <fstream>
#include <iterator>
#include <ostream>
#include <system_error>

namespace qen::replacer {

namespace fs = std::filesystem;

namespace {

constexpr const char* kOwnName = "QenRuntimeAutoReplaceTool";

std::string Quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

std::optional<std::string> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

ProgramSwap::ProgramSwap(fs::path folder) : folder_(std::move(folder)) {}

bool ProgramSwap::Apply(std::string& error) {
    std::error_code code;
    const fs::file_status newStatus = fs::status(NewProgramPath(), code);
    if (!fs::is_regular_file(newStatus)) {
        error = "no new program " + Quoted(NewProgramPath());
        return false;
    }
    if ((newStatus.permissions() & fs::perms::owner_exec) == fs::perms::none) {
        error = "the new program " + Quoted(NewProgramPath()) + " may not be run";
        return false;
    }

    const fs::file_status oldStatus = fs::status(ProgramPath(), code);
    if (fs::exists(oldStatus)) {
        if (!fs::is_regular_file(oldStatus)) {
            error = Quoted(ProgramPath()) + " is not a program file";
            return false;
        }
        // Kept so that the old program can come back if the new one will not start.
        oldBytes_ = ReadBytes(ProgramPath());
        if (!oldBytes_) {
            error = "cannot read " + Quoted(ProgramPath()) + " to keep it";
            return false;
        }
        oldMode_ = oldStatus.permissions();
    }

    fs::rename(NewProgramPath(), ProgramPath(), code);
    if (code) {
        error = "cannot put " + Quoted(NewProgramPath()) + " in place: " + code.message();
        return false;
    }
    return true;
}

bool ProgramSwap::Undo(std::string& error) {
    std::error_code code;
    fs::rename(ProgramPath(), NewProgramPath(), code);
    if (code) {
        error = "cannot move the new program back: " + code.message();
        return false;
    }
    if (!oldBytes_) return true;
    // Written beside it and renamed, so the program file is never half there.
    const fs::path restoring = folder_ / (std::string(".") + std::string(kProgramName) + ".restoring");
    if (!WriteBytes(restoring, *oldBytes_)) {
        fs::remove(restoring, code);
        error = "cannot write the previous program back";
        return false;
    }
    fs::permissions(restoring, oldMode_, fs::perm_options::replace, code);
    if (!code) fs::rename(restoring, ProgramPath(), code);
    if (code) {
        std::error_code ignored;
        fs::remove(restoring, ignored);
        error = "cannot put the previous program back: " + code.message();
        return false;
    }
    return true;
}

int RunReplacer(const std::vector<std::string>& args, Edge& edge, std::ostream& err) {
    if (args.size() != 2 || args[1] != "none") {
        err << kOwnName << ": usage: " << kOwnName
            << " none\n(Qen Runtime starts it to install an update it has downloaded.)\n";
        return 2;
    }
    const std::optional<fs::path> own = edge.OwnPath();
    if (!own || !own->has_parent_path()) {
        err << kOwnName << ": cannot find its own folder; nothing was changed\n";
        return 1;
    }

    ProgramSwap swap(own->parent_path());
    std::string error;
    if (!swap.Apply(error)) {
        err << kOwnName << ": " << error << "; the program was left as it was\n";
        return 1;
    }
    // Its work is done: the folder keeps nothing but the program.
    std::error_code ignored;
    if (*own != swap.ProgramPath()) fs::remove(*own, ignored);

    const fs::path program = swap.ProgramPath();
    const std::string reason = edge.StartInPlace(program, {program.string()});
    err << kOwnName << ": cannot start " << Quoted(program) << ": " << reason;
    if (swap.Undo(error))
        err << "; the previous program was put back\n";
    else
        err << "; " << error << "\n";
    return 1;
}

}  // namespace qen::replacer
