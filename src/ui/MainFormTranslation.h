#pragma once
// The main window's translation component: reads and sets its translatable texts by control name
// and property ("Caption", "Hint", "Text", "Items", and the password dialog's "Filter" and "Title").
#include <QString>

#include "l10n/LanguageController.h"

namespace tellvane {

class TMainForm;

class TMainFormLanguageController : public TQuenLanguageController {
public:
    explicit TMainFormLanguageController(TMainForm& form);

protected:
    bool HasComponent(const std::string& component) const override;
    std::string GetProperty(const std::string& component, const std::string& property) const override;
    void SetProperty(const std::string& component, const std::string& property, const std::string& value) override;

private:
    TMainForm& form_;
};

// A file-dialog filter written "Text files (*.TXT)|*.txt| All files|*.*" in the dialog's notation:
// "Text files (*.TXT) (*.txt);;All files (*.*)".
QString ToDialogFilter(const std::string& pairs);

}  // namespace tellvane
