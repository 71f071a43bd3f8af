#pragma once
// The one dialog at a run's end that lists each entry not done, and each note about a file, with
// its reason: a text the user can scroll, select and copy.
#include <QDialog>

#include <functional>
#include <vector>

#include "engine/NotCompletedReports.h"
#include "l10n/LanguageController.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tellvane {

class TNotDoneForm : public QDialog {
    Q_OBJECT
public:
    // Which ID of a language file (section "NotDoneForm") goes to which control of this window.
    // An ID keeps its control once given; a new text gets a new ID.
    static std::vector<TQuenLang_PropEntry> TranslationEntries();
    TNotDoneForm();
    // Fills the list with ENTRIES ("PATH: reason", one a line) and shows it modally.
    void Show(const std::vector<TNotCompletedFile>& entries);
    QString ListText() const;

private:
    QLabel* Label1;
    QPlainTextEdit* EntriesEdit;
    QPushButton* CopyBtn;
    QPushButton* OKBtn;
};

// Window tests answer the dialog instead of a user: the hook gets the listed text and the dialog
// is not shown.
using TNotDoneHook = std::function<void(const QString& listText)>;
void SetNotDoneHook(TNotDoneHook hook);

}  // namespace tellvane
