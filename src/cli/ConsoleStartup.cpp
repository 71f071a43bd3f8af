#include "cli/ConsoleStartup.h"

#include <string>

#include "app/InitFinal.h"
#include "engine/RunRegistry.h"
#include "platform/CommandLine.h"

namespace tellvane::cli {
namespace {

bool ConsoleNeedsStep(const TStartupStep& step) { return step.use == TStepUse::Both; }

bool LanguageStep(const std::string& name) { return name == "InitFolders" || name == "Language"; }

}  // namespace

void InitializeConsoleLanguage(int argc, const char* const* argv) {
    SetCommandLine(argc, argv);
    for (const auto& step : InitializationSteps())
        if (LanguageStep(step.name)) step.run();
}

void InitializeConsole(int argc, const char* const* argv) {
    SetCommandLine(argc, argv);
    for (const auto& step : InitializationSteps())
        if (ConsoleNeedsStep(step) && !LanguageStep(step.name)) step.run();
}

void FinalizeConsole() {
    StopAndAwaitWorkers();
    for (const auto& step : FinalizationSteps())
        if (ConsoleNeedsStep(step)) step.run();
}

}  // namespace tellvane::cli
