#include "replacer/Replacer.h"

#include <ostream>
#include <system_error>

#include "files/FileIO.h"

namespace qen::replacer {

namespace fs = std::filesystem;

namespace {

constexpr const char* kOwnName = "QenRuntimeAutoReplaceTool";

std::string Quoted(const Path& path) { return "\"" + path.Bytes() + "\""; }

}  // namespace

ProgramSwap::ProgramSwap(Path folder) : folder_(std::move(folder)) {}

bool ProgramSwap::Apply(std::string& error) {
    std::error_code code;
    const fs::file_status newStatus = fs::status(NewProgramPath().Bytes(), code);
    if (!fs::is_regular_file(newStatus)) {
        error = "no new program " + Quoted(NewProgramPath());
        return false;
    }
    if ((newStatus.permissions() & fs::perms::owner_exec) == fs::perms::none) {
        error = "the new program " + Quoted(NewProgramPath()) + " may not be run";
        return false;
    }

    const fs::file_status oldStatus = fs::status(ProgramPath().Bytes(), code);
    if (fs::exists(oldStatus)) {
        if (!fs::is_regular_file(oldStatus)) {
            error = Quoted(ProgramPath()) + " is not a program file";
            return false;
        }
        // Kept so that the old program can come back if the new one will not start.
        FileError readError;
        oldBytes_ = ReadFileBytes(ProgramPath(), &readError);
        if (!oldBytes_) {
            error = "cannot read " + Quoted(ProgramPath()) + " to keep it: " + readError.Reason();
            return false;
        }
        oldMode_ = oldStatus.permissions();
    }

    FileError renameError;
    if (!RenameFile(NewProgramPath(), ProgramPath(), &renameError)) {
        error = "cannot put " + Quoted(NewProgramPath()) + " in place: " + renameError.Reason();
        return false;
    }
    return true;
}

bool ProgramSwap::Undo(std::string& error) {
    FileError fileError;
    if (!oldBytes_) {
        // There was no program before: the new one goes back under its own name.
        if (RenameFile(ProgramPath(), NewProgramPath(), &fileError)) return true;
        error = "cannot move the new program back: " + fileError.Reason();
        return false;
    }
    // The program file is never missing nor half there, whenever this is cut short: the new
    // program is copied back under its own name for another try, and the old one replaces it
    // by one rename.
    const bool newKept = CopyFileSafely(ProgramPath(), NewProgramPath(), &fileError);
    if (!newKept) error = "cannot keep the new program: " + fileError.Reason();
    const SaveOptions oldMode{
        .newFileMode = static_cast<unsigned>(oldMode_), .exactNewMode = true, .modeOverExisting = true};
    if (!SaveFileSafely(ProgramPath(), *oldBytes_, &fileError, oldMode)) {
        error = "cannot put the previous program back: " + fileError.Reason();
        return false;
    }
    return newKept;
}

int RunReplacer(const std::vector<std::string>& args, Edge& edge, std::ostream& err) {
    if ((args.size() != 2 && args.size() != 3) || args[1] != "none") {
        err << kOwnName << ": usage: " << kOwnName
            << " none [FILE]\n(Qen Runtime starts it to install an update it has downloaded; FILE is the"
               " package it had open, which the new program opens again.)\n";
        return 2;
    }
    const std::optional<Path> own = edge.OwnPath();
    if (!own || own->Folder().Empty()) {
        err << kOwnName << ": cannot find its own folder; nothing was changed\n";
        return 1;
    }

    ProgramSwap swap(own->Folder());
    std::string error;
    if (!swap.Apply(error)) {
        err << kOwnName << ": " << error << "; the program was left as it was\n";
        return 1;
    }
    // Its work is done: the folder keeps nothing but the program.
    std::error_code ignored;
    if (*own != swap.ProgramPath()) fs::remove(own->Bytes(), ignored);

    const Path program = swap.ProgramPath();
    std::vector<std::string> programArgs{program.Bytes()};
    if (args.size() == 3) programArgs.push_back(args[2]);
    const std::string reason = edge.StartInPlace(program, programArgs);
    err << kOwnName << ": cannot start " << Quoted(program) << ": " << reason;
    if (swap.Undo(error))
        err << "; the previous program was put back\n";
    else
        err << "; " << error << "\n";
    return 1;
}

}  // namespace qen::replacer
