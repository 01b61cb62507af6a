#pragma once
// What the tools share on the command line: --help and --version, errors as one line that
// names the tool, and the exit codes.
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "update/VersionFile.h"

namespace qen::tool {

enum ExitCode : int {
    kDone = 0,
    kRejected = 1,     // a package or .lum that is not sound, JSON that is rejected
    kUsageOrFile = 2,  // wrong usage, or a file that cannot be read or written
};

// Control bytes written as "\x1b", so a name taken from a file can neither break a line
// nor steer the terminal.
inline std::string Printable(std::string_view text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kDigits[byte >> 4];
            out += kDigits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

class CommandLineTool {
public:
    CommandLineTool(std::string_view name, std::string_view usage, std::ostream& out, std::ostream& err)
        : name_(name), usage_(usage), out_(out), err_(err) {}

    // "--help" (or "-h") and "--version" as the first argument are answered on the
    // output stream.
    std::optional<int> AnswerHelpOrVersion(const std::vector<std::string>& args) const {
        if (args.empty()) return std::nullopt;
        if (args[0] == "--help" || args[0] == "-h") {
            out_ << usage_;
            return kDone;
        }
        if (args[0] == "--version") {
            out_ << VersionLine(name_);
            return kDone;
        }
        return std::nullopt;
    }

    // "<tool>: <reason>" on the error stream; gives `code`.
    int Error(int code, std::string_view reason) const {
        err_ << name_ << ": " << Printable(reason) << "\n";
        return code;
    }

    // The reason, then the usage, on the error stream.
    int UsageError(std::string_view reason) const {
        Error(kUsageOrFile, reason);
        err_ << usage_;
        return kUsageOrFile;
    }

    std::ostream& Out() const { return out_; }

private:
    std::string name_, usage_;
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace qen::tool
