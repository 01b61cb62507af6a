#pragma once
// The end of start-up around an update: handing the process to the replacer once a new
// program is stored, and clearing a replacer left from an earlier update otherwise.
#include "base/Path.h"

namespace qen {

class System;
class Ui;

// Runs after the application's clean-up once CheckForNewVersion gave true. For a copy
// under its standard name whose folder holds the replacer, starts the replacer in place
// of this process with its own file name and "none", followed by `commandLineFile` when
// the program was started with one, so that the new program opens the same package; if
// it cannot be started, shows "Failed to activate replacer tool to perform upgrade" and
// returns: start-up then ends. Every other copy ends the process at once with exit code 1.
void HandOverToReplacer(Ui& ui, System& system, const Path& program, bool bound, const Path& commandLineFile);

// When no update is due: removes a replacer left in the folder of a copy that carries no
// package of its own. Failure is ignored.
void RemoveLeftoverReplacer(const Path& program, bool bound);

}  // namespace qen
