#pragma once
// The main window's translation component: binds the translatable properties of the language
// files (Caption, Hint, Text, Items, Filter, Title) to the Qt properties of the controls found by
// object name.
#include <QPointer>
#include <QWidget>

#include "l10n/LanguageController.h"

namespace tellvane::ui {

class MainFormTranslation : public TQuenLanguageController {
public:
    // FORM is the window; its controls are found among its descendants by object name. A file
    // dialog's texts live on a descendant QObject as the dynamic properties "Filter" and "Title".
    explicit MainFormTranslation(QWidget* form);

protected:
    bool HasComponent(const std::string& component) const override;
    std::string GetProperty(const std::string& component, const std::string& property) const override;
    void SetProperty(const std::string& component, const std::string& property, const std::string& value) override;

private:
    QObject* Find(const std::string& component) const;
    QPointer<QWidget> form_;
};

}  // namespace tellvane::ui
