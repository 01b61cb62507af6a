#pragma once
// File names of the program's copies and of the replacer in the program's folder.
#include <string>
#include <string_view>

#include "base/Path.h"

namespace qen {

// The program's own name; program files carry no extension here.
constexpr std::string_view kStandardProgramName = "QenRuntime";
// The replacer program, as the program's folder holds it while an update is installed.
constexpr std::string_view kReplacerFileName = "QenRuntimeAutoReplaceTool";

// The file name of `program` without its extension; the file name itself when it has no dot.
std::string ProgramStem(const Path& program);

// A copy runs under its standard name when its file is named exactly "QenRuntime" and it
// carries no package of its own. Letter case and extension count: the replacer puts the
// new program in place under exactly that name.
bool RunsUnderStandardName(const Path& program, bool bound);

// The name, without extension, under which a new version of the copy named `stem` is
// stored: "QenRuntime2" for a copy under its standard name, else "Tool_4" after "Tool_3",
// "Tool_10" after "Tool_9", "Tool_1" after "Tool_99" and "Tool_2" after "Tool".
std::string NextCopyName(std::string_view stem, bool standardName);

}  // namespace qen
