#include "update/CopyNames.h"

namespace qen {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string ProgramStem(const Path& program) {
    const std::string name = program.Name();
    const std::size_t dot = name.rfind('.');
    // A leading dot belongs to the name (a hidden file), not to an extension.
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool RunsUnderStandardName(const Path& program, bool bound) {
    return !bound && program.Name() == kStandardProgramName;
}

std::string NextCopyName(std::string_view stem, bool standardName) {
    const std::string name(stem);
    const std::size_t n = name.size();
    if (standardName) return name + "2";
    if (n > 4 && name[n - 2] == '_' && IsDigit(name[n - 1]))
        return name.substr(0, n - 1) + std::to_string(name[n - 1] - '0' + 1);
    if (n > 5 && name[n - 3] == '_' && IsDigit(name[n - 2]) && IsDigit(name[n - 1])) {
        const int next = (name[n - 2] - '0') * 10 + (name[n - 1] - '0') + 1;
        return name.substr(0, n - 2) + std::to_string(next > 99 ? 1 : next);
    }
    return name + "_2";
}

}  // namespace qen
