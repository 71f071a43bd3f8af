#pragma once
// The path classes a command-line switch can activate, in registration order.
#include <string>
#include <vector>

namespace tellvane {

class TWizard;

// A path class: its switch and its activation.
struct TPathClass {
    std::string (*GetCmdLineParameter)();
    void (*ActivateOnCmdLine)(TWizard& wizard);
};

// Creates the list with the encrypt, decrypt, shred and hide paths, in that order. The show path
// is left out: "/show" activates nothing.
void CreatePathClasses();
void FreePathClasses();
void RegisterPathClass(const TPathClass& pathClass);
// The first registered class whose switch equals PARAMETER exactly (whole text, case-sensitive).
const TPathClass* FindPathClass(const std::string& parameter);
const std::vector<TPathClass>& PathClasses();

}  // namespace tellvane
