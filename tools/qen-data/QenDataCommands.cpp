// The qen-data command line: export, import, check and salvage.
#include <filesystem>
#include <iostream>
#include <optional>
#include <ostream>
#include <system_error>

#include "common/CommandLineTool.h"
#include "files/FileIO.h"
#include "qen-data/QenData.h"
#include "store/UserDataFile.h"

namespace qen::qendata {

const char* const kQenDataUsage =
    "usage: qen-data export FILE.lum             write the user data as JSON to standard output\n"
    "       qen-data import FILE.json FILE.lum   write a user data file from JSON (FILE.json \"-\":\n"
    "                                            read it from standard input)\n"
    "       qen-data check FILE.lum              say whether the file is sound or where it breaks\n"
    "       qen-data salvage FILE.lum OUT.lum    write what still reads of a damaged file to a new one\n"
    "       qen-data --help | --version\n"
    "FILE.lum is replaced whole or not at all; salvage never writes over the damaged file\n"
    "check finds a file cut short, a count out of range, a text running past the end and a\n"
    "wrong trailer; the format carries no checksum, so a changed letter inside a text reads as sound\n"
    "exit codes: 0 done, 1 damaged or rejected input, 2 usage or file errors\n";


namespace {

using tool::CommandLineTool;

int Export(const CommandLineTool& tool, const std::string& from, const std::string& image) {
    bool sound = false;
    const std::string report = CheckImage(image, sound);
    if (!sound) return tool.Error(tool::kRejected, from + ": " + report);
    UserData data;
    DecodeUserData(image, data);
    tool.Out() << ExportJson(data);
    return tool::kDone;
}

int Import(const CommandLineTool& tool, const std::string& from, const std::string& json, const std::string& to) {
    UserData data;
    std::string error;
    if (!ImportJson(json, data, error)) return tool.Error(tool::kRejected, from + ": " + error);
    FileError writeError;
    if (!SaveFileSafely(Path(to), EncodeUserData(data), &writeError))
        return tool.Error(tool::kUsageOrFile, "cannot write " + to + ": " + writeError.Reason());
    return tool::kDone;
}

int Check(const CommandLineTool& tool, const std::string& from, const std::string& image) {
    bool sound = false;
    const std::string report = CheckImage(image, sound);
    if (!sound) return tool.Error(tool::kRejected, from + ": " + report);
    tool.Out() << from << ": " << report << "\n";
    return tool::kDone;
}

int Salvage(const CommandLineTool& tool, const std::string& from, const std::string& image, const std::string& to) {
    // The damaged file is the only copy of what could not be read; it is never replaced.
    std::error_code error;
    if (std::filesystem::equivalent(from, to, error))
        return tool.Error(tool::kUsageOrFile, to + " is " + from + " itself; salvage writes to a new file");
    const UserDataSalvage salvage = SalvageUserData(image);
    if (!salvage.headerKept)
        return tool.Error(tool::kRejected, from + ": nothing can be salvaged: " + salvage.damage->Describe());
    FileError writeError;
    if (!SaveFileSafely(Path(to), EncodeUserData(salvage.data), &writeError))
        return tool.Error(tool::kUsageOrFile, "cannot write " + to + ": " + writeError.Reason());
    tool.Out() << from << ": " << (salvage.damage ? salvage.damage->Describe() : "sound") << "\n"
               << DescribeSalvage(salvage) << "wrote " << to << "\n";
    return tool::kDone;
}

constexpr const char* kStandardInput = "-";

int RunCommand(const CommandLineTool& tool, const std::vector<std::string>& args, std::istream& in) {
    if (args.empty()) return tool.UsageError("no command given");
    struct Command {
        const char* name;
        std::size_t files;
    };
    static constexpr Command kCommands[] = {{"export", 1}, {"import", 2}, {"check", 1}, {"salvage", 2}};
    const std::string& name = args[0];
    const Command* command = nullptr;
    for (const Command& known : kCommands)
        if (name == known.name) command = &known;
    if (!command) return tool.UsageError("unknown command " + name);
    if (args.size() != command->files + 1)
        return tool.UsageError(name + " takes " + (command->files == 1 ? "one file" : "two files"));

    const std::string& from = args[1];
    if (name == "import" && from == kStandardInput) {
        const std::optional<std::string> json = ReadAllInput(in, kMaxReadableFileSize);
        if (!json) return tool.Error(tool::kUsageOrFile, "cannot read standard input: it is too large");
        return Import(tool, "standard input", *json, args[2]);
    }
    FileError readError;
    const std::optional<std::string> input = ReadFileBytes(Path(from), &readError);
    if (!input) return tool.Error(tool::kUsageOrFile, "cannot read " + from + ": " + readError.Reason());
    if (name == "export") return Export(tool, from, *input);
    if (name == "import") return Import(tool, from, *input, args[2]);
    if (name == "check") return Check(tool, from, *input);
    return Salvage(tool, from, *input, args[2]);
}

}  // namespace

std::optional<std::string> ReadAllInput(std::istream& in, std::uintmax_t limit) {
    std::string bytes;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        const auto got = static_cast<std::size_t>(in.gcount());
        if (bytes.size() + got > limit) return std::nullopt;
        bytes.append(chunk, got);
    }
    return bytes;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return Run(args, std::cin, out, err);
}

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const CommandLineTool tool("qen-data", kQenDataUsage, out, err);
    if (auto answered = tool.AnswerHelpOrVersion(args)) return *answered;
    try {
        return RunCommand(tool, args, in);
    } catch (const std::exception& exception) {
        // Memory or the file system gave out underneath.
        return tool.Error(tool::kUsageOrFile, exception.what());
    }
}

}  // namespace qen::qendata
