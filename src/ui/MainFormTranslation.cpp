#include "ui/MainFormTranslation.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QStringList>

#include "ui/MainForm.h"
#include "ui/OperationsListBox.h"
#include "ui/QtText.h"

namespace tellvane {

namespace {

// A string list's text: every item followed by CR LF.
std::string JoinItems(const QStringList& items) {
    std::string text;
    for (const QString& item : items) text += S(item) + "\r\n";
    return text;
}

QStringList SplitItems(const std::string& text) {
    QStringList items = Q(text).split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    if (!items.isEmpty() && items.back().isEmpty()) items.pop_back();
    return items;
}

}  // namespace

QString ToDialogFilter(const std::string& pairs) {
    const QStringList parts = Q(pairs).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

TMainFormLanguageController::TMainFormLanguageController(TMainForm& form)
    : TQuenLanguageController("MainForm", MainFormTranslationEntries()), form_(form) {}

bool TMainFormLanguageController::HasComponent(const std::string& component) const {
    if (component == "MainForm" || component == "PasswordOpenDialog") return true;
    return form_.findChild<QWidget*>(Q(component)) != nullptr;
}

std::string TMainFormLanguageController::GetProperty(const std::string& component, const std::string& property) const {
    if (component == "MainForm") return property == "Caption" ? S(form_.windowTitle()) : S(form_.statusTip());
    if (component == "PasswordOpenDialog")
        return property == "Title" ? form_.PasswordDialogTitle : form_.PasswordDialogFilter;
    QWidget* widget = form_.findChild<QWidget*>(Q(component));
    if (!widget) return {};
    if (property == "Hint") return S(widget->statusTip());
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (property == "Items") {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
            return JoinItems(items);
        }
        return S(combo->currentText());
    }
    if (qobject_cast<TOperationsListBox*>(widget)) return {};  // its rows come from the operation registry
    if (auto* label = qobject_cast<QLabel*>(widget)) return S(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return S(button->text());
    return {};
}

void TMainFormLanguageController::SetProperty(const std::string& component, const std::string& property,
                                              const std::string& value) {
    if (component == "MainForm") {
        if (property == "Caption")
            form_.setWindowTitle(Q(value));
        else
            form_.setStatusTip(Q(value));
        return;
    }
    if (component == "PasswordOpenDialog") {
        (property == "Title" ? form_.PasswordDialogTitle : form_.PasswordDialogFilter) = value;
        return;
    }
    QWidget* widget = form_.findChild<QWidget*>(Q(component));
    if (!widget) return;
    if (property == "Hint") {
        widget->setStatusTip(Q(value));
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        // The rows are the registry's entries by index: a translation replaces their texts only
        // when it names every one of them.
        const QStringList items = SplitItems(value);
        if (property == "Items" && items.size() == combo->count())
            for (int i = 0; i < combo->count(); ++i) combo->setItemText(i, items[i]);
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(Q(value));
        if (!label->wordWrap()) label->adjustSize();
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(Q(value));
        // Check boxes take the width of their text; the bar's buttons keep their fixed size.
        if (!button->inherits("QPushButton")) button->adjustSize();
    }
}

}  // namespace tellvane
