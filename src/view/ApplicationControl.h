#pragma once
// What the view asks of the application beyond the data it is given.
#include "platform/System.h"

namespace qen {

class ApplicationControl {
public:
    virtual ~ApplicationControl() = default;
    // A program started from a page; shutdown waits for it.
    virtual void AddLaunchedProgram(ProcessHandle handle) = 0;
    // The Backup menu command: it may restore and restart, or end without saving.
    virtual void RunBackupCommand() = 0;
};

}  // namespace qen
