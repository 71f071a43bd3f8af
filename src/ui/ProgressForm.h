#pragma once
// The progress window of a run: current file, two bars, file counter, elapsed and estimated time;
// refreshed every 100 ms from the worker's read-outs while it is shown. Cancel stops the run.
#include <QDialog>
#include <QTimer>

#include "l10n/LanguageController.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tellvane {

class TProgressForm : public QDialog {
    Q_OBJECT
public:
    // Which ID of a language file (section "ProgressForm") goes to which control of this window.
    // An ID keeps its control once given; a new text gets a new ID.
    static std::vector<TQuenLang_PropEntry> TranslationEntries();
    // MAINFORM gets the percentage in its caption while the window is shown.
    explicit TProgressForm(QWidget* mainForm);

    // One refresh from the read-outs.
    void Tick();
    bool TimerActive() const { return OneSecondTimer.isActive(); }

public slots:
    void CancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Escape presses Cancel.
    void reject() override;

private:
    QWidget* mainForm_;
    QLabel* FileNameLabel;
    QLabel* FilesPercentLabel;
    QLabel* ElapsedTimeLabel;
    QLabel* EstimatedTimeLabel;
    QProgressBar* CurrentFileProgressBar;
    QProgressBar* AllFilesProgressBar;
    QPushButton* Cancel;
    QTimer OneSecondTimer;
};

}  // namespace tellvane
