#include "spin_edit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

namespace qe {
namespace {

bool isAcceptedCharacter(QChar ch) {
    return ch.isDigit() || ch == u'+' || ch == u'-' || QLocale().decimalPoint() == QString(ch);
}

} // namespace

SpinEdit::SpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setButtonSymbols(UpDownArrows);
    setAccelerated(false);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textEdited, this, &SpinEdit::textEdited);
}

QString SpinEdit::text() const {
    return lineEdit()->text();
}

void SpinEdit::setText(const QString& text) {
    lineEdit()->setText(text);
}

void SpinEdit::setNoTyping(bool on) {
    lineEdit()->setReadOnly(on);
}

void SpinEdit::stepBy(int steps) {
    if (steps != 0) emit stepRequested(steps > 0 ? 1 : -1);
}

// Any text may stand in the field; what may be typed is filtered key by key.
QValidator::State SpinEdit::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const {
    return isEnabled() ? (StepUpEnabled | StepDownEnabled) : StepNone;
}

void SpinEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        event->ignore();
        return;
    default:
        break;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint();
    const bool withCommand = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (printable && !withCommand && (!isAcceptedCharacter(typed.at(0)) || isFull())) {
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

// A typed character would not replace a selected one.
bool SpinEdit::isFull() const {
    const QLineEdit* edit = lineEdit();
    return maxLength_ > 0 && edit->text().size() - edit->selectedText().size() >= maxLength_;
}

} // namespace qe
