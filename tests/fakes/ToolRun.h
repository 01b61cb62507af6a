#pragma once
// Running a command-line tool's entry point in the test, with what it prints captured.
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace qen::test {

struct ToolResult {
    int code;
    std::string out, err;
};

using ToolEntry = int (*)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

inline ToolResult RunTool(ToolEntry entry, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = entry(args, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace qen::test
