#include "fakes/StartUpFolders.h"

namespace qen::test {

StartUpFolders::StartUpFolders() : exe(program / "QenRuntime") {
    environment_.Set("XDG_DATA_HOME", dataHome.path().Bytes());
    WriteFile(exe, "program bytes");
}

void StartUpFolders::Prepare(FakePlatform& platform, std::int64_t now) const {
    platform.fakeSystem.executablePath = exe;
    platform.fakeSystem.tempFolder = temp.path();
    platform.fakeSystem.now = now;
    platform.fakeSettings.ints[{"QenRuntime", "Terms"}] = 1;
}

}  // namespace qen::test
