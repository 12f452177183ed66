// The About box: the program's title and the credits.
#pragma once

#include <QDialog>

namespace qe {

class TfrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget* owner);

    // Creates a new About box owned by owner and shows it modally; it is released
    // when it closes.
    static void showModal(QWidget* owner);

protected:
    // The outer size counts the frame, which the window system makes known only
    // once the box is shown.
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void fitOuterSize();

    QMargins fitted_;
    bool placed_ = false;
};

} // namespace qe
