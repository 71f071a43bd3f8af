#pragma once
// The order in which the program comes up and goes down. Each step belongs to its subsystem;
// this unit only fixes when it runs.
#include <functional>
#include <string>
#include <vector>

namespace tellvane {

struct TCallServer;

inline constexpr const char* RegistryRootKey = "HKEY_CURRENT_USER";
inline constexpr const char* AppRegistryKey = "Software\\Kalvessa\\Brevikon\\";
inline constexpr const char* ApplicationTitle = "Tellvane";

// Who needs a step: the windowed program alone (the operations' pictures, the shell-extension
// switches), or the console front end as well.
enum class TStepUse { WindowsOnly, Both };

struct TStartupStep {
    std::string name;
    std::function<void()> run;
    TStepUse use = TStepUse::Both;
};

// The steps of InitializeApplication and FinalizeApplication, in the order they run.
std::vector<TStartupStep> InitializationSteps();
std::vector<TStartupStep> FinalizationSteps();

// Runs the start-up steps; an error leaves the function (start-up is then over).
void InitializeApplication();
// Stops a run still going and waits for its worker (serving the worker's synchronous calls
// through SERVER, engine/RunRegistry.h), then releases what InitializeApplication built,
// in the fixed order.
void FinalizeApplication();
void FinalizeApplication(const TCallServer& server);
// True once a start-up step asked the program to end (the shell-extension switches).
bool TerminationRequested();
void RequestTermination();

}  // namespace tellvane
