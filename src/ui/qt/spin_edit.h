// The spin field: an integer edit with up/down buttons that holds any text the
// user leaves in it (out of range, empty, a lone "-"). The buttons and the arrow
// keys only ask for a step; the model reads, adds, clamps and writes the text back.
#pragma once

#include <QAbstractSpinBox>

namespace qe {

class SpinEdit : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit SpinEdit(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // Once the text holds this many characters, typed characters are refused
    // (not pasted ones: the model cuts those); 0 for no limit. A longer text set
    // from code is shown whole.
    void setMaxLength(int length) { maxLength_ = length; }
    int maxLength() const { return maxLength_; }
    // Typing refused; the buttons and arrow keys still step.
    void setNoTyping(bool on);

    void stepBy(int steps) override;
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString& input, int& pos) const override;

signals:
    // Up (+1) or down (-1) asked for by a button, an arrow key or the wheel.
    void stepRequested(int delta);
    // The user changed the text by typing, deleting or pasting.
    void textEdited(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void fixup(QString&) const override {}

private:
    bool isFull() const;

    int maxLength_ = 0;
};

} // namespace qe
