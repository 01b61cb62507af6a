#pragma once
// Folders for a start-up test: the program's own folder (with a program file), the
// temporary folder and the desktop data folder, which XDG_DATA_HOME names while the
// fixture lives so file-type registration stays inside it.
#include <cstdint>
#include <optional>
#include <string>

#include "fakes/FakePlatform.h"
#include "fakes/ScopedEnvironment.h"
#include "fakes/TempDir.h"

namespace qen::test {

class StartUpFolders {
public:
    StartUpFolders();
    StartUpFolders(const StartUpFolders&) = delete;
    StartUpFolders& operator=(const StartUpFolders&) = delete;

    // Points the fake system at these folders, with the terms already accepted.
    void Prepare(FakePlatform& platform, std::int64_t now = 1'700'000'000) const;

    TempDir program, temp, dataHome;
    Path exe;

private:
    ScopedEnvironment environment_;
};

}  // namespace qen::test
