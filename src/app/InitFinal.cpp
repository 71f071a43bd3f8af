#include "app/InitFinal.h"

#include <atomic>

#include "app/ContextMenuExtActivator.h"
#include "base/Logger.h"
#include "base/Options.h"
#include "crypto/CryptoAlgorithms.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "engine/RunRegistry.h"
#include "hide/HiddenConfig.h"
#include "l10n/TextConstants.h"
#include "platform/AppFolders.h"
#include "platform/CodePage.h"
#include "platform/LocaleLanguage.h"
#include "platform/Registry.h"
#include "shred/ShredAlgorithms.h"
#include "wizard/PathClasses.h"

namespace tellvane {
namespace {

std::atomic<bool> g_terminate{false};

void WriteAppPath() {
    TRegistry registry;
    if (!registry.KeyExists(RegistryRootKey, AppRegistryKey)) registry.CreateKey(RegistryRootKey, AppRegistryKey);
    // Outside components (the file-manager helper) find the program through this value.
    registry.WriteString(RegistryRootKey, AppRegistryKey, "AppPath", GetAppFolder());
}

// The language of this run, read once by the language step for the registries built after it.
TLanguageChoice g_language;

void ChooseLanguage() {
    g_language = ReadLanguageChoice(TOptions());
    TQuenLanguageManager& manager = LangManager();
    manager.ScanForLangFiles(GetAppFolder(), "*.lng", false);
    // A stored choice wins; otherwise the locale's language, when a file speaks it.
    if (!g_language.stored) {
        if (const uint16_t id = manager.RegisteredLanguageFor(LocaleLanguageId())) {
            g_language.id = id;
            g_language.text = std::to_string(id);
        }
    }
    manager.SetLanguageID(g_language.id);
}

}  // namespace

std::vector<TStartupStep> InitializationSteps() {
    return {
        {"InitFolders", [] { InitFolders(DefaultDataFolder()); }},
        // The executables arm the exception hook before this sequence; it logs once the log is on.
        {"InitLogger", [] { InitLogger("-debug"); }},
        {"AppPath", WriteAppPath},
        {"Language", ChooseLanguage},
        {"PathClasses", CreatePathClasses},
        {"CreateOperations", CreateOperations, TStepUse::WindowsOnly},
        {"CreateShredAlgorithms", [] { CreateShredAlgorithms(g_language); }},
        {"CreateAlgorithms", [] { CreateAlgorithms(g_language); }},
        {"CreatePendingFiles", CreatePendingFiles},
        {"CreateHiddenConfig", CreateHiddenConfig},
        {"ProcessShellExtSwitches", [] {
             // The program then still comes up and goes down, but its message loop ends at once.
             if (ProcessShellExtSwitches()) RequestTermination();
         },
         TStepUse::WindowsOnly},
    };
}

std::vector<TStartupStep> FinalizationSteps() {
    return {
        {"FreePathClasses", FreePathClasses},
        {"FreeOperations", FreeOperations, TStepUse::WindowsOnly},
        {"FreeShredAlgorithms", FreeShredAlgorithms},
        {"FreeAlgorithms", FreeAlgorithms},
        {"FreePendingFiles", FreePendingFiles},
        {"FreeHiddenConfig", FreeHiddenConfig},
    };
}

void InitializeApplication() {
    for (const auto& step : InitializationSteps()) step.run();
}

void FinalizeApplication() { FinalizeApplication(TCallServer{}); }

void FinalizeApplication(const TCallServer& server) {
    // No worker may use a registry after it has been freed.
    StopAndAwaitWorkers(server);
    for (const auto& step : FinalizationSteps()) step.run();
}

bool TerminationRequested() { return g_terminate.load(); }
void RequestTermination() { g_terminate.store(true); }

}  // namespace tellvane
