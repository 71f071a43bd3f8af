#pragma once
// The translation component of every window: reads and sets its translatable texts by control
// name and property ("Caption", "Hint", "Text", "Items"), each window by a section of its own.
#include <QString>

#include <map>

#include "l10n/LanguageController.h"

class QWidget;

namespace tellvane {

class TMainForm;

class TFormLanguageController : public TQuenLanguageController {
public:
    // FORM's section is its object name; ENTRIES is the window's own table (TranslationEntries).
    TFormLanguageController(QWidget& form, std::vector<TQuenLang_PropEntry> entries);

protected:

    bool HasComponent(const std::string& component) const override;
    std::string GetProperty(const std::string& component, const std::string& property) const override;
    void SetProperty(const std::string& component, const std::string& property, const std::string& value) override;
    std::string TextSlot(const std::string& component, const std::string& property) const override;

    QWidget* Component(const std::string& component) const;
    QWidget& form_;

private:
    // A combo box's "Text" waits for its "Items" when no row has it yet.
    std::map<std::string, QString> pendingComboText_;
};

// The main window's component adds the password file dialog and the list of operations.
class TMainFormLanguageController : public TFormLanguageController {
public:
    explicit TMainFormLanguageController(TMainForm& form);

protected:
    bool HasComponent(const std::string& component) const override;
    std::string GetProperty(const std::string& component, const std::string& property) const override;
    void SetProperty(const std::string& component, const std::string& property, const std::string& value) override;

private:
    TMainForm& main_;
};

// A file-dialog filter written "Text files (*.TXT)|*.txt| All files|*.*" in the dialog's notation:
// "Text files (*.TXT);;All files (*.*)". A description that already names its patterns (in any
// case) shows them once.
QString ToDialogFilter(const std::string& pairs);

}  // namespace tellvane
