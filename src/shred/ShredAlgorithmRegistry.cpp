// The registry of wiping methods and the reader of their descriptions.
#include <memory>

#include "base/Options.h"
#include "platform/AppFolders.h"
#include "platform/IniFile.h"
#include "shred/ShredAlgorithms.h"
#include "shred/ShredMethods.h"

namespace tellvane {

namespace {

std::vector<std::unique_ptr<TShredAlgorithm>> g_algorithms;
std::unique_ptr<TIniFile> g_descriptions;  // chosen once, at start-up, by the language of that moment

}  // namespace

std::string TShredAlgorithm::GetDesc() const {
    if (!g_descriptions) return {};
    try {
        return g_descriptions->ReadString("Algos", ClassName(), "");
    } catch (const std::exception&) {
        return {};  // an unreadable description file only costs the description
    }
}

void CreateShredAlgorithms(const TLanguageChoice& language) {
    g_descriptions = std::make_unique<TIniFile>(GetAppFolder() + "shreds" + language.text + ".ini", language.CodePage());
    g_algorithms.clear();
    for (const TShredMethod& method : ShredMethodTable) g_algorithms.push_back(std::make_unique<TShredAlgorithm>(method));
}

void FreeShredAlgorithms() {
    g_algorithms.clear();
    g_descriptions.reset();
}

std::vector<std::unique_ptr<TShredAlgorithm>>& ShredAlgorithmList() { return g_algorithms; }

}  // namespace tellvane
