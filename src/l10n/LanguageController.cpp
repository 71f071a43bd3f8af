#include "l10n/LanguageController.h"

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
    for (const auto& e : entries_) {
        std::string value = e.wsDefLangValue;
        if (section) {
            auto it = section->Values.find(e.iID);
            if (it != section->Values.end()) value = it->second;
        }
        SetProperty(e.ComponentName, e.wsPropName, value);
    }
}

std::vector<TQuenLang_PropEntry> MainFormTranslationEntries() {
    return {
        {1, "MainForm", "Caption", ""},
        {2, "FinishButton", "Caption", ""},
        {3, "ExitButton", "Hint", ""},
        {4, "ExitButton", "Caption", ""},
        {5, "HelpButton", "Hint", ""},
        {6, "HelpButton", "Caption", ""},
        {7, "BackButton", "Hint", ""},
        {8, "BackButton", "Caption", ""},
        {9, "NextButton", "Hint", ""},
        {10, "NextButton", "Caption", ""},
        {12, "OptionsButton", "Hint", ""},
        {13, "Label2", "Caption", ""},
        {14, "Label1", "Caption", ""},
        {17, "OperationsListBox", "Items", ""},
        {18, "Label9", "Caption", ""},
        {19, "Label5", "Caption", ""},
        {20, "AlgorithmChooseLabel", "Caption", ""},
        {21, "EncryptAlgorithmComboBox", "Hint", ""},
        {22, "EncryptAlgorithmComboBox", "Text", ""},
        {23, "EncryptAlgorithmComboBox", "Items", ""},
        {24, "EncryptMaskPasswordCheckBox", "Caption", ""},
        {25, "EncryptDeleteAfterCheckBox", "Caption", ""},
        {26, "ChooseFilesDescLabel", "Caption", ""},
        {27, "ChooseFilesHeaderLabel", "Caption", ""},
        {28, "ChangeMainPassLabel1", "Caption", ""},
        {29, "ChangeMainPassLabel1", "Text", ""},
        {30, "Label4", "Caption", ""},
        {31, "DecryptMaskPasswordCheckBox", "Caption", ""},
        {32, "DecryptDeleteAfterCryptCheckBox", "Caption", ""},
        {33, "Label6", "Caption", ""},
        {34, "ShredAlgorithmDecsLabel", "Caption", ""},
        {35, "ShredAlgorithmComboBox", "Text", ""},
        {36, "ShredAlgorithmComboBox", "Items", ""},
        {37, "Label3", "Caption", ""},
        {38, "Label7", "Caption", ""},
        {39, "ChangeMainPassLabel2", "Caption", ""},
        {40, "ChangeMainPassLabel2", "Text", ""},
        {41, "FinishInfoLabel", "Caption", ""},
        {42, "FilesLabel", "Caption", ""},
        {43, "PasswordOpenDialog", "Filter", ""},
        {44, "PasswordOpenDialog", "Title", ""},
    };
}

}  // namespace tellvane
