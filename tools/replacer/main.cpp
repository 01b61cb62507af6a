// The replacer program the update server offers as "QenRuntimeAutoReplaceTool".
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "replacer/Replacer.h"
#include "update/VersionFile.h"

namespace {

class PosixEdge : public qen::replacer::Edge {
public:
    std::optional<qen::Path> OwnPath() override {
        std::error_code error;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
        if (error) return std::nullopt;
        return qen::Path(self.string());
    }

    std::string StartInPlace(const qen::Path& program, const std::vector<std::string>& args) override {
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        // What the runtime had open before it became the replacer is not handed on.
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        execv(program.CStr(), argv.data());
        return std::strerror(errno);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << qen::VersionLine("QenRuntimeAutoReplaceTool");
        return 0;
    }
    PosixEdge edge;
    return qen::replacer::RunReplacer(std::vector<std::string>(argv, argv + argc), edge, std::cerr);
}
