#pragma once
// The table of named text constants: every message, caption and title the code builds is looked
// up here by name (case-insensitively) at the moment it is needed.
#include <cstdint>
#include <shared_mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace tellvane {

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
    void SetLanguage(uint16_t languageId, uint32_t codePage);
    // The lock that guards the table, for the language side's bulk changes.
    std::shared_mutex& Synchronizer() const { return sync_; }
    std::vector<TQuenLang_Constant>& ConstantsUnlocked() { return constants_; }
    // Index of NAME in the sorted table, or -1.
    int FindConstant(const std::string& name) const;

private:
    mutable std::shared_mutex sync_;
    std::vector<TQuenLang_Constant> constants_;
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
