#pragma once
// The table of named text constants: every message, caption and title the code builds is looked
// up here by name (case-insensitively) at the moment it is needed.
#include <cstdint>
#include <map>
#include <optional>
#include <shared_mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace tellvane {

class TQuenLanguageController;
struct TQuenLang_CompTranslations;

class EQuenLangError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TQuenLang_Constant {
    std::string wsName;
    std::string wsValue;     // current text (UTF-8)
    std::string wsDefValue;  // built-in English text
};

class TQuenLanguageManager {
public:
    TQuenLanguageManager();

    std::string GetConstantValue(const std::string& name) const;
    uint16_t LanguageID() const;
    uint16_t DefaultLanguageID() const { return 1033; }
    uint32_t CodePage() const;

    // For the language side: replace texts of constants under the write lock. Throws
    // EQuenLangError for an unknown name.
    void SetConstantValue(const std::string& name, const std::string& value);
    void ResetToDefaults();

    // Language side. Registers FILENAME for the language its "LANGID" names; false for a missing
    // file or an identifier of 0. The default language is accepted but not registered.
    bool RegisterLangFile(const std::string& fileName);
    // Registers every file of DIR matching MASK (in listing order); returns how many were accepted.
    int ScanForLangFiles(const std::string& dir, const std::string& mask, bool recursive);
    std::optional<std::string> RegisteredFile(uint16_t languageId) const;
    // The registered language closest to WANTED: WANTED itself, else one of the same primary
    // language (German of Austria finds German.lng); 0 when none is registered.
    uint16_t RegisteredLanguageFor(uint16_t wanted) const;
    // Every registered language with its own name (the file's "Name", else its number).
    std::vector<std::pair<uint16_t, std::string>> RegisteredLanguages() const;
    // Selects a language: its file is parsed whole, then applied to the constants and to every
    // registered translation component. Throws EQuenLangError (or EFileError) when the file
    // fails; the manager then stays as it was. Without a file the default language is chosen.
    void SetLanguageID(uint16_t languageId);
    void RegisterController(TQuenLanguageController* controller);
    void UnregisterController(TQuenLanguageController* controller);
    // Translates CONTROLLER's window into the current language once it has loaded.
    void TranslateController(TQuenLanguageController& controller);
    // The lock that guards the table, for the language side's bulk changes.
    std::shared_mutex& Synchronizer() const { return sync_; }
    // Index of NAME in the sorted table, or -1.
    int FindConstant(const std::string& name) const;

private:
    std::optional<TQuenLang_CompTranslations> LoadTranslations(uint16_t languageId) const;
    void ApplyTranslations(const TQuenLang_CompTranslations* translations);

    mutable std::shared_mutex sync_;
    std::vector<TQuenLang_Constant> constants_;
    std::vector<TQuenLanguageController*> controllers_;
    std::map<uint16_t, std::string> langResources_;
    uint16_t languageId_ = 1033;
    uint32_t codePage_ = 1252;
};

// The one manager, created on first use.
TQuenLanguageManager& LangManager();
// The current text of the named constant; EQuenLangError "Constant "%s" not found" when unknown.
std::string GetConstantValue(const std::string& name);
// Compares A and B ignoring the case of A-Z only (other characters by code).
int CompareConstantNames(const std::string& a, const std::string& b);

}  // namespace tellvane
