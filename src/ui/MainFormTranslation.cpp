#include "ui/MainFormTranslation.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QStringList>

namespace tellvane::ui {
namespace {

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string ToUtf8(const QString& s) { return s.toUtf8().toStdString(); }

// A list property travels as one text, items separated by line breaks.
QStringList SplitItems(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t.split(QLatin1Char('\n'));
}

}  // namespace

MainFormTranslation::MainFormTranslation(QWidget* form)
    : TQuenLanguageController(ToUtf8(form->objectName()), MainFormTranslationEntries()), form_(form) {}

QObject* MainFormTranslation::Find(const std::string& component) const {
    if (!form_) return nullptr;
    const QString name = FromUtf8(component);
    if (form_->objectName() == name) return form_;
    return form_->findChild<QObject*>(name);
}

bool MainFormTranslation::HasComponent(const std::string& component) const { return Find(component) != nullptr; }

std::string MainFormTranslation::GetProperty(const std::string& component, const std::string& property) const {
    QObject* o = Find(component);
    if (!o) return {};
    if (property == "Hint") {
        auto* w = qobject_cast<QWidget*>(o);
        return w ? ToUtf8(w->toolTip()) : std::string();
    }
    if (property == "Caption") {
        if (o == form_) return ToUtf8(form_->windowTitle());
        if (auto* b = qobject_cast<QAbstractButton*>(o)) return ToUtf8(b->text());
        if (auto* l = qobject_cast<QLabel*>(o)) return ToUtf8(l->text());
        if (auto* g = qobject_cast<QGroupBox*>(o)) return ToUtf8(g->title());
        return {};
    }
    if (property == "Text") {
        if (auto* c = qobject_cast<QComboBox*>(o)) return ToUtf8(c->currentText());
        if (auto* l = qobject_cast<QLabel*>(o)) return ToUtf8(l->text());
        return {};
    }
    if (property == "Items") {
        QStringList items;
        if (auto* c = qobject_cast<QComboBox*>(o))
            for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
        else if (auto* l = qobject_cast<QListWidget*>(o))
            for (int i = 0; i < l->count(); ++i) items << l->item(i)->text();
        return ToUtf8(items.join(QStringLiteral("\r\n")));
    }
    // Filter, Title: the file dialog's texts.
    return ToUtf8(o->property(property.c_str()).toString());
}

void MainFormTranslation::SetProperty(const std::string& component, const std::string& property,
                                      const std::string& value) {
    QObject* o = Find(component);
    if (!o) return;
    const QString text = FromUtf8(value);
    if (property == "Hint") {
        if (auto* w = qobject_cast<QWidget*>(o)) {
            w->setToolTip(text);
            w->setStatusTip(text);
        }
    } else if (property == "Caption") {
        if (o == form_)
            form_->setWindowTitle(text);
        else if (auto* b = qobject_cast<QAbstractButton*>(o))
            b->setText(text);
        else if (auto* l = qobject_cast<QLabel*>(o))
            l->setText(text);
        else if (auto* g = qobject_cast<QGroupBox*>(o))
            g->setTitle(text);
    } else if (property == "Text") {
        if (auto* c = qobject_cast<QComboBox*>(o)) {
            if (c->currentIndex() >= 0) c->setItemText(c->currentIndex(), text);
        } else if (auto* l = qobject_cast<QLabel*>(o)) {
            l->setText(text);
        }
    } else if (property == "Items") {
        const QStringList items = SplitItems(text);
        if (auto* c = qobject_cast<QComboBox*>(o)) {
            // Translating names must not change what is chosen.
            for (int i = 0; i < c->count() && i < items.size(); ++i) c->setItemText(i, items[i]);
        } else if (auto* l = qobject_cast<QListWidget*>(o)) {
            for (int i = 0; i < l->count() && i < items.size(); ++i) l->item(i)->setText(items[i]);
        }
    } else {
        o->setProperty(property.c_str(), text);
    }
}

}  // namespace tellvane::ui
