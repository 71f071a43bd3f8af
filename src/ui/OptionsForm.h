#pragma once
// The Options window: the two context-menu settings, the main-password change, the About page,
// the language (written to the options, taken at the next start) and the wiping of sources.
// Not modal; OK stores the settings and starts the program again to register or unregister the
// file-manager actions.
#include <QWidget>

#include "l10n/LanguageController.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;

namespace tellvane {

class IWizardWindow;

class TOptionsForm : public QWidget {
    Q_OBJECT
public:
    // Which ID of a language file (section "OptionsForm") goes to which control of this window.
    // An ID keeps its control once given; a new text gets a new ID.
    static std::vector<TQuenLang_PropEntry> TranslationEntries();
    // WINDOW asks for the main password and shows the new-main-password dialog.
    explicit TOptionsForm(IWizardWindow& window);

    enum TPage { opGeneral = 0, opAbout = 1, opLanguage = 2, opSources = 3 };
    // Selects PAGE and shows the window (not modal).
    void ShowPage(TPage page);

    void SetOptionsToGUI();
    void GetOptionsFromGUI();

signals:
    // The settings were written to the options (OK).
    void OptionsStored();

public slots:
    void ok2Click();
    void CancelButtonClick();
    void HelpButtonClick();
    void ChooseMainPassButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ApplyShellIntegration();

    IWizardWindow& window_;
    QTabWidget* Pages;
    QCheckBox* IntegrateCheckBox;
    QCheckBox* CascadedCheckBox;
    QComboBox* LanguageComboBox;  // item data: the language number
    QCheckBox* WipeSourceCheckBox;
    QComboBox* WipeMethodComboBox;  // the wiping methods in the registry's order
    QPushButton* ok2;
};

}  // namespace tellvane
