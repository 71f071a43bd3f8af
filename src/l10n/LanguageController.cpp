#include "l10n/LanguageController.h"

#include <set>

#include "l10n/LanguageFile.h"
#include "l10n/TextConstants.h"
#include "platform/CodePage.h"

namespace tellvane {

TQuenLanguageController::TQuenLanguageController(std::string sectionName, std::vector<TQuenLang_PropEntry> entries)
    : sectionName_(std::move(sectionName)), entries_(std::move(entries)) {
    LangManager().RegisterController(this);
}

TQuenLanguageController::~TQuenLanguageController() { LangManager().UnregisterController(this); }

bool TQuenLanguageController::IsTranslatableText(const std::string& text) {
    for (char16_t c : Utf8ToUtf16(text))
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c > 1037) return true;
    return false;
}

void TQuenLanguageController::FormLoaded() {
    std::erase_if(entries_, [&](const TQuenLang_PropEntry& e) { return !HasComponent(e.ComponentName); });
    for (auto& e : entries_) {
        const std::string design = GetProperty(e.ComponentName, e.wsPropName);
        e.wsDefLangValue = IsTranslatableText(design) ? design : std::string();
    }
    LangManager().TranslateController(*this);
}

void TQuenLanguageController::ApplySection(const TQuenLang_CompTranslation* section) {
    auto given = [&](const TQuenLang_PropEntry& e) { return section && section->Values.count(e.iID) != 0; };
    std::set<std::string> translatedSlots;
    for (const auto& e : entries_)
        if (given(e)) translatedSlots.insert(TextSlot(e.ComponentName, e.wsPropName));
    for (const auto& e : entries_) {
        if (given(e))
            SetProperty(e.ComponentName, e.wsPropName, section->Values.at(e.iID));
        else if (translatedSlots.count(TextSlot(e.ComponentName, e.wsPropName)) == 0)
            SetProperty(e.ComponentName, e.wsPropName, e.wsDefLangValue);
    }
}

}  // namespace tellvane
