#pragma once
// The start of a path by a switch on the command line, as the file managers' context-menu actions
// ask for it after writing their selection into the data folder's "todo".
#include <string>
#include <vector>

namespace tellvane {

class TWizard;

// Activates the path of every argument that is a registered switch, first to last, and sets
// StartedFromCmdLine after each. Other arguments, file names among them, are ignored. A switch met
// while a run of an earlier switch is active is ignored: runs never overlap. A selection file that
// cannot be read propagates its EFileError; the later arguments are then not looked at.
void ActivateFromCmdLine(TWizard& wizard, const std::vector<std::string>& args);

}  // namespace tellvane
