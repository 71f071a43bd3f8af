#pragma once
// The console plays the user-interface thread of a run: it serves the worker's synchronous calls,
// draws a progress line, asks for file passwords on the terminal and turns Ctrl-C into Cancel.
#include <string>
#include <vector>

#include "base/OperationCallbacks.h"
#include "engine/Operations.h"

namespace tellvane::cli {

// Runs OPERATION over PATHS (handed over as the pending paths of a command-line run) with the
// console as its user interface. Prints the completion count; returns the exit status (0, 1 or 130).
// OVERWRITE lets outputs replace existing files; otherwise such a file is skipped and listed.
int RunOperation(TOperation& operation, const std::vector<std::string>& paths, TItemsSet items,
                 bool overwrite = false);

}  // namespace tellvane::cli
