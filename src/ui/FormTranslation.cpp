#include "ui/FormTranslation.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QSignalBlocker>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QStringList>
#include <QTabWidget>

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

// The tab widget that shows PAGE as one of its tabs, and the tab's index.
QTabWidget* TabOf(QWidget* page, int& index) {
    for (QWidget* p = page->parentWidget(); p; p = p->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(p)) {
            index = tabs->indexOf(page);
            return index >= 0 ? tabs : nullptr;
        }
    }
    return nullptr;
}

QStringList Patterns(const QString& text) {
    QStringList list = text.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts);
    return list;
}

}  // namespace

QString ToDialogFilter(const std::string& pairs) {
    const QStringList parts = Q(pairs).split(QLatin1Char('|'));
    QStringList filters;
    static const QRegularExpression named(QStringLiteral("^(.*)\\(([^()]*)\\)\\s*$"));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QStringList patterns = Patterns(parts[i + 1]);
        const QRegularExpressionMatch m = named.match(description);
        if (m.hasMatch()) {
            // The description names its patterns already: keep its spelling, add only the others.
            QStringList shown = Patterns(m.captured(2));
            for (const QString& p : patterns)
                if (!shown.contains(p, Qt::CaseInsensitive)) shown << p;
            filters << m.captured(1).trimmed() + QStringLiteral(" (") + shown.join(QLatin1Char(' ')) + QLatin1Char(')');
        } else {
            filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        }
    }
    return filters.join(QStringLiteral(";;"));
}

TFormLanguageController::TFormLanguageController(QWidget& form, std::vector<TQuenLang_PropEntry> entries)
    : TQuenLanguageController(S(form.objectName()), std::move(entries)), form_(form) {}

QWidget* TFormLanguageController::Component(const std::string& component) const {
    if (component == ActualSectionName()) return &form_;
    return form_.findChild<QWidget*>(Q(component));
}

bool TFormLanguageController::HasComponent(const std::string& component) const { return Component(component); }

std::string TFormLanguageController::TextSlot(const std::string& component, const std::string& property) const {
    // A label's "Caption" and "Text" are one text.
    if (qobject_cast<QLabel*>(Component(component)) && (property == "Caption" || property == "Text"))
        return component + ".Text";
    return TQuenLanguageController::TextSlot(component, property);
}

std::string TFormLanguageController::GetProperty(const std::string& component, const std::string& property) const {
    QWidget* widget = Component(component);
    if (!widget) return {};
    if (property == "Hint") return S(widget->statusTip());
    if (widget == &form_) return S(form_.windowTitle());
    int tab = -1;
    if (QTabWidget* tabs = TabOf(widget, tab)) return S(tabs->tabText(tab));
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (property == "Items") {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
            return JoinItems(items);
        }
        return S(combo->currentText());
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) return S(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return S(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return S(group->title());
    return {};
}

void TFormLanguageController::SetProperty(const std::string& component, const std::string& property,
                                          const std::string& value) {
    QWidget* widget = Component(component);
    if (!widget) return;
    if (property == "Hint") {
        widget->setStatusTip(Q(value));
        return;
    }
    if (widget == &form_) {
        form_.setWindowTitle(Q(value));
        return;
    }
    int tab = -1;
    if (QTabWidget* tabs = TabOf(widget, tab)) {
        tabs->setTabText(tab, Q(value));
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (property == "Items") {
            // The rows are the registry's entries by index: a list translates the rows it reaches;
            // rows beyond it keep their texts and items beyond the rows are left out.
            const QStringList items = SplitItems(value);
            for (int i = 0; i < combo->count() && i < items.size(); ++i) combo->setItemText(i, items[i]);
        } else {
            pendingComboText_[component] = Q(value);
        }
        // "Text" selects the row of that text, once the rows have their translated texts.
        auto pending = pendingComboText_.find(component);
        if (pending != pendingComboText_.end()) {
            const int row = combo->findText(pending->second);
            if (row >= 0) {
                // Not a choice of the user: the list's change handler (which shows the row's
                // description) must not run, so the design texts stay until the user picks a row.
                const QSignalBlocker quiet(combo);
                combo->setCurrentIndex(row);
                pendingComboText_.erase(pending);
            }
        }
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(Q(value));
        if (!label->wordWrap()) label->adjustSize();
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(Q(value));
        // Check boxes take the width of their text; push buttons keep their fixed size.
        if (!button->inherits("QPushButton")) button->adjustSize();
        return;
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) group->setTitle(Q(value));
}

TMainFormLanguageController::TMainFormLanguageController(TMainForm& form)
    : TFormLanguageController(form, TMainForm::TranslationEntries()), main_(form) {}

bool TMainFormLanguageController::HasComponent(const std::string& component) const {
    return component == "PasswordOpenDialog" || TFormLanguageController::HasComponent(component);
}

std::string TMainFormLanguageController::GetProperty(const std::string& component,
                                                     const std::string& property) const {
    if (component == "PasswordOpenDialog")
        return property == "Title" ? main_.PasswordDialogTitle : main_.PasswordDialogFilter;
    if (auto* list = qobject_cast<TOperationsListBox*>(Component(component)); list && property == "Items")
        return JoinItems(list->Items());
    return TFormLanguageController::GetProperty(component, property);
}

void TMainFormLanguageController::SetProperty(const std::string& component, const std::string& property,
                                              const std::string& value) {
    if (component == "PasswordOpenDialog") {
        (property == "Title" ? main_.PasswordDialogTitle : main_.PasswordDialogFilter) = value;
        return;
    }
    if (auto* list = qobject_cast<TOperationsListBox*>(Component(component)); list && property == "Items") {
        list->SetItems(SplitItems(value));
        return;
    }
    TFormLanguageController::SetProperty(component, property, value);
}

}  // namespace tellvane
