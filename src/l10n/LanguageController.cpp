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

// The other windows' tables: IDs stay as they are once given; new ones are appended.
std::vector<TQuenLang_PropEntry> FormTranslationEntries(const std::string& section) {
    if (section == "MainForm") return MainFormTranslationEntries();
    if (section == "ChangeMainPassForm")
        return {
            {1, "ChangeMainPassForm", "Caption", ""},
            {2, "Label1", "Caption", ""},
            {3, "EnterPassLabel", "Caption", ""},
            {4, "Label2", "Caption", ""},
            {5, "OKBtn", "Caption", ""},
            {6, "CancelBtn", "Caption", ""},
        };
    if (section == "MainPassForm" || section == "OperationPassForm")
        return {
            {1, section, "Caption", ""},
            {2, "Label1", "Caption", ""},
            {3, "EnterPassLabel", "Caption", ""},
            {4, "OKBtn", "Caption", ""},
            {5, "CancelBtn", "Caption", ""},
        };
    if (section == "OptionsForm")
        return {
            {1, "OptionsForm", "Caption", ""},
            {2, "general", "Caption", ""},
            {3, "GroupBox2", "Caption", ""},
            {4, "IntegrateCheckBox", "Caption", ""},
            {5, "IntegrateCheckBox", "Hint", ""},
            {6, "CascadedCheckBox", "Caption", ""},
            {7, "CascadedCheckBox", "Hint", ""},
            {8, "GroupBox1", "Caption", ""},
            {9, "ChooseMainPassButton", "Caption", ""},
            {10, "ChooseMainPassButton", "Hint", ""},
            {11, "Label2", "Caption", ""},
            {12, "about", "Caption", ""},
            {13, "ProgramLabel", "Caption", ""},
            {14, "Label4", "Caption", ""},
            {15, "Label5", "Caption", ""},
            {16, "ok2", "Caption", ""},
            {17, "ok2", "Hint", ""},
            {18, "CancelButton", "Caption", ""},
            {19, "CancelButton", "Hint", ""},
            {20, "HelpButton", "Caption", ""},
            {21, "HelpButton", "Hint", ""},
            {22, "language", "Caption", ""},
            {23, "LanguageLabel", "Caption", ""},
            {24, "LanguageComboBox", "Hint", ""},
            {25, "LanguageNote", "Caption", ""},
            {26, "sources", "Caption", ""},
            {27, "WipeSourceCheckBox", "Caption", ""},
            {28, "WipeSourceCheckBox", "Hint", ""},
            {29, "WipeMethodComboBox", "Items", ""},
            {30, "WipeSourceNote", "Caption", ""},
        };
    if (section == "ProgressForm")
        return {
            {1, "GroupBox1", "Caption", ""},
            {2, "Label1", "Caption", ""},
            {3, "GroupBox2", "Caption", ""},
            {4, "Label3", "Caption", ""},
            {5, "Label2", "Caption", ""},
            {6, "Label4", "Caption", ""},
            {7, "Cancel", "Caption", ""},
        };
    if (section == "MessageBoxes")
        return {
            {1, "OKButton", "Caption", ""},
            {2, "CancelButton", "Caption", ""},
            {3, "YesButton", "Caption", ""},
            {4, "NoButton", "Caption", ""},
            {5, "YesToAllButton", "Caption", ""},
            {6, "NoToAllButton", "Caption", ""},
        };
    if (section == "ConfirmPassForm")
        return {
            {1, "ConfirmPassForm", "Caption", ""},
            {2, "Label1", "Caption", ""},
            {3, "OKBtn", "Caption", ""},
            {4, "CancelBtn", "Caption", ""},
        };
    if (section == "NotDoneForm")
        return {
            {1, "NotDoneForm", "Caption", ""},
            {2, "Label1", "Caption", ""},
            {3, "CopyBtn", "Caption", ""},
            {4, "OKBtn", "Caption", ""},
        };
    return {};
}

const std::vector<std::string>& TranslatedForms() {
    static const std::vector<std::string> forms = {"MainForm",     "ChangeMainPassForm", "MainPassForm",
                                                   "OperationPassForm", "OptionsForm", "ProgressForm",
                                                   "MessageBoxes", "NotDoneForm", "ConfirmPassForm"};
    return forms;
}

}  // namespace tellvane
