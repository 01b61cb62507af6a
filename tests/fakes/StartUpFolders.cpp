#include "fakes/StartUpFolders.h"

#include <cstdlib>

namespace qen::test {

StartUpFolders::StartUpFolders() : exe(program / "QenRuntime") {
    if (const char* value = std::getenv("XDG_DATA_HOME")) savedDataHome_ = value;
    setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
    WriteFile(exe, "program bytes");
}

StartUpFolders::~StartUpFolders() {
    if (savedDataHome_)
        setenv("XDG_DATA_HOME", savedDataHome_->c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

void StartUpFolders::Prepare(FakePlatform& platform, std::int64_t now) const {
    platform.fakeSystem.executablePath = exe;
    platform.fakeSystem.tempFolder = temp.path();
    platform.fakeSystem.now = now;
    platform.fakeSettings.ints[{"QenRuntime", "Terms"}] = 1;
}

}  // namespace qen::test
