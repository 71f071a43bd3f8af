// The language side of the language manager: registered language files, selecting a language
// and applying it to the constants and to the translation components.
#include <fnmatch.h>

#include <algorithm>
#include <mutex>

#include "l10n/LanguageController.h"
#include "l10n/LanguageFile.h"
#include "l10n/TextConstants.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace tellvane {

bool TQuenLanguageManager::RegisterLangFile(const std::string& fileName) {
    if (!FileExists(fileName)) return false;
    const uint16_t id = LanguageIdOfParams(ReadLngParams(ReadWholeFile(fileName), SystemAnsiCodePage()));
    if (id == 0) return false;
    if (id != DefaultLanguageID()) {
        std::unique_lock<std::shared_mutex> guard(sync_);
        // The file registered last for an identifier wins.
        langResources_[id] = fileName;
    }
    return true;
}

int TQuenLanguageManager::ScanForLangFiles(const std::string& dir, const std::string& mask, bool recursive) {
    const std::string folder = IncludeTrailingPathDelimiter(dir);
    int accepted = 0;
    std::vector<DirEntry> entries;
    try {
        entries = ListDirectory(folder);
    } catch (const EFileError&) {
        return 0;  // a missing folder holds no languages
    }
    for (const auto& e : entries) {
        if (e.isDirectory) {
            if (recursive && !e.isSymlink && e.name[0] != '.')
                accepted += ScanForLangFiles(folder + e.name, mask, true);
            continue;
        }
        // Masks match without regard to case, as the Windows file functions do.
        if (fnmatch(mask.c_str(), e.name.c_str(), FNM_CASEFOLD) == 0 && RegisterLangFile(folder + e.name))
            ++accepted;
    }
    return accepted;
}

std::optional<std::string> TQuenLanguageManager::RegisteredFile(uint16_t languageId) const {
    std::shared_lock<std::shared_mutex> guard(sync_);
    auto it = langResources_.find(languageId);
    if (it == langResources_.end()) return std::nullopt;
    return it->second;
}

uint16_t TQuenLanguageManager::RegisteredLanguageFor(uint16_t wanted) const {
    std::shared_lock<std::shared_mutex> guard(sync_);
    if (wanted == 0) return 0;
    if (langResources_.count(wanted)) return wanted;
    for (const auto& [id, file] : langResources_)
        if ((id & 0x3FF) == (wanted & 0x3FF)) return id;
    return 0;
}

std::vector<std::pair<uint16_t, std::string>> TQuenLanguageManager::RegisteredLanguages() const {
    std::map<uint16_t, std::string> files;
    {
        std::shared_lock<std::shared_mutex> guard(sync_);
        files = langResources_;
    }
    std::vector<std::pair<uint16_t, std::string>> languages;
    for (const auto& [id, file] : files) {
        std::string name;
        try {
            for (const auto& [key, value] : ReadLngParams(ReadWholeFile(file), SystemAnsiCodePage()))
                if (CompareConstantNames(key, "Name") == 0) name = value;
        } catch (const EFileError&) {
            // A file gone since it was registered still has its number to show.
        }
        languages.emplace_back(id, name.empty() ? std::to_string(id) : name);
    }
    return languages;
}

std::optional<TQuenLang_CompTranslations> TQuenLanguageManager::LoadTranslations(uint16_t languageId) const {
    if (languageId == DefaultLanguageID()) return std::nullopt;
    auto it = langResources_.find(languageId);
    if (it == langResources_.end()) return std::nullopt;
    return ParseLanguageFile(ReadWholeFile(it->second), SystemAnsiCodePage());
}

void TQuenLanguageManager::SetLanguageID(uint16_t languageId) {
    std::optional<TQuenLang_CompTranslations> translations;
    bool changed = false;
    {
        std::unique_lock<std::shared_mutex> guard(sync_);
        // A file that fails to parse leaves the manager as it was.
        translations = LoadTranslations(languageId);
        if (!translations) languageId = DefaultLanguageID();
        if (languageId != languageId_) {
            languageId_ = languageId;
            codePage_ = AnsiCodePageOfLanguage(languageId);
            changed = true;
        }
    }
    if (changed) ApplyTranslations(translations ? &*translations : nullptr);
}

void TQuenLanguageManager::ApplyTranslations(const TQuenLang_CompTranslations* translations) {
    std::vector<TQuenLanguageController*> controllers;
    {
        std::unique_lock<std::shared_mutex> guard(sync_);
        for (auto& c : constants_) {
            if (!translations) {
                c.wsValue = c.wsDefValue;
                continue;
            }
            for (const auto& [name, text] : translations->Constants)
                if (CompareConstantNames(name, c.wsName) == 0) c.wsValue = text;
        }
        controllers = controllers_;
    }
    for (auto* controller : controllers)
        controller->ApplySection(translations ? translations->FindComponent(controller->ActualSectionName()) : nullptr);
}

void TQuenLanguageManager::RegisterController(TQuenLanguageController* controller) {
    std::unique_lock<std::shared_mutex> guard(sync_);
    controllers_.push_back(controller);
}

void TQuenLanguageManager::UnregisterController(TQuenLanguageController* controller) {
    std::unique_lock<std::shared_mutex> guard(sync_);
    std::erase(controllers_, controller);
}

void TQuenLanguageManager::TranslateController(TQuenLanguageController& controller) {
    std::optional<TQuenLang_CompTranslations> translations;
    {
        std::shared_lock<std::shared_mutex> guard(sync_);
        if (languageId_ == DefaultLanguageID()) return;
        translations = LoadTranslations(languageId_);
    }
    if (translations) controller.ApplySection(translations->FindComponent(controller.ActualSectionName()));
}

}  // namespace tellvane
