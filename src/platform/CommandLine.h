#pragma once
// The process's command line, kept once at start-up: argument 0 is the program, 1..n the rest.
#include <string>
#include <vector>

namespace tellvane {

void SetCommandLine(int argc, const char* const* argv);
void SetCommandLine(std::vector<std::string> args);
int ParamCount();                // number of arguments after the program's own name
std::string ParamStr(int index);  // "" past the end
// True when one of the arguments 1..n equals SWITCHTEXT exactly.
bool HasSwitch(const std::string& switchText);

}  // namespace tellvane
