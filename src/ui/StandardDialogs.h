#pragma once
// The program's message boxes and its file-open dialog. Tests replace them with hooks so that no
// test waits on a window nobody answers.
#include <QMessageBox>
#include <QString>
#include <QWidget>

#include <functional>

#include "engine/WorkerHost.h"
#include "l10n/LanguageController.h"

namespace tellvane {

enum class TBoxKind {
    bkError,        // error icon, empty title, OK
    bkInformation,  // information icon, empty title, OK
    bkPlain,        // no icon, the application's title, OK
    bkException,    // the general error handler: error icon, the application's title, OK
};

struct TBoxRecord {
    TBoxKind kind;
    QString title;
    QString text;
};

// The texts of the message boxes' buttons, held as a window of its own that is never shown, so
// that the translation component translates them like any window (section "MessageBoxes").
// While one exists, every box takes its button texts from it.
class TMessageBoxTexts : public QWidget {
public:
    // Which ID of a language file (section "MessageBoxes") goes to which control of this window.
    // An ID keeps its control once given; a new text gets a new ID.
    static std::vector<TQuenLang_PropEntry> TranslationEntries();
    TMessageBoxTexts();
    ~TMessageBoxTexts() override;
    QString ButtonText(QMessageBox::StandardButton button) const;
};
// Gives BOX's standard buttons their (translated) texts.
void ApplyButtonTexts(QMessageBox& box);

// While a hook is set, boxes are handed to it instead of being shown.
using TMessageBoxHook = std::function<void(const TBoxRecord&)>;
void SetMessageBoxHook(TMessageBoxHook hook);

void ErrorBox(const QString& text);
void InfoBox(const QString& text);
void PlainMessage(const QString& text);
// The question whether an output may replace an existing file: question icon, the application's
// title, Yes, No, Yes to all, No to all (closing the box answers No). A hook answers instead while set.
using TReplaceBoxHook = std::function<TReplaceAnswer(const QString& text)>;
void SetReplaceBoxHook(TReplaceBoxHook hook);
TReplaceAnswer AskReplaceBox(const QString& text);
// An error that left an event handler; the program goes on.
void ShowExceptionBox(const QString& text);

// The application's title (taskbar): "Tellvane" at start-up; the progress window sets it to the
// main window's caption.
QString CurrentApplicationTitle();
void SetCurrentApplicationTitle(const QString& title);

// The file-open dialog: the chosen file, or an empty text when the user cancelled. A hook answers
// instead of the dialog while it is set.
using TOpenFileHook = std::function<QString(const QString& title, const QString& filter)>;
void SetOpenFileHook(TOpenFileHook hook);
QString ChooseOpenFile(QWidget* parent, const QString& title, const QString& filter);

}  // namespace tellvane
