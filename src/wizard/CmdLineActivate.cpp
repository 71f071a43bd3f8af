#include "wizard/CmdLineActivate.h"

#include "engine/PendingFiles.h"
#include "wizard/PathClasses.h"
#include "wizard/Wizard.h"

namespace tellvane {

void ActivateFromCmdLine(TWizard& wizard, const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        const TPathClass* pathClass = FindPathClass(arg);
        if (!pathClass) continue;
        if (wizard.RunActive()) continue;
        pathClass->ActivateOnCmdLine(wizard);
        StartedFromCmdLine = true;
    }
}

}  // namespace tellvane
