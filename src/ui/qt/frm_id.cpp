#include "frm_id.h"

#include "app_look.h"
#include "binder.h"
#include "config/check_config.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

namespace qe {

TfrmID::TfrmID(QWidget* owner, const QString& text)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("ID"));
    setFont(windowFont());
    setFixedSize(scaled(QSize(294, 101)));

    lblID2 = new QLabel(QStringLiteral("Please insert a valid ID (E-Mail):"), this);
    lblID2->setObjectName(QStringLiteral("lblID2"));
    // The label sizes itself to its text, never below its place in the layout.
    const QSize hint = lblID2->sizeHint();
    lblID2->setGeometry(scaled(16), scaled(16), std::max(scaled(149), hint.width()),
                        std::max(scaled(13), hint.height()));

    txtID2 = new QLineEdit(text, this);
    txtID2->setObjectName(QStringLiteral("txtID2"));
    txtID2->setGeometry(scaled(QRect(16, 32, 265, 21)));
    lblID2->setBuddy(txtID2);
    txtID2->setAccessibleName(lblID2->text());

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(scaled(QRect(48, 64, 75, 25)));
    btnOK->setDefault(true);
    btnOK->setEnabled(false);

    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(scaled(QRect(160, 64, 75, 25)));

    setTabOrder(txtID2, btnOK);
    setTabOrder(btnOK, btnCancel);
    txtID2->setFocus();

    connect(txtID2, &QLineEdit::textChanged, this, &TfrmID::txtID2Change);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    txtID2Change();
}

void TfrmID::txtID2Change() {
    btnOK->setEnabled(satisfiesIdRule(toBytes(txtID2->text())));
}

void TfrmID::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    // Enter presses OK only while it is enabled; QDialog already does so.
    QDialog::keyPressEvent(event);
}

std::optional<QString> TfrmID::ask(QWidget* owner, const QString& text) {
    QPointer<TfrmID> prompt = new TfrmID(owner, text);
    const int result = prompt->exec();
    if (!prompt) // the owner went away while the prompt ran
        return std::nullopt;
    const QString entered = prompt->txtID2->text();
    delete prompt;
    if (result != QDialog::Accepted) return std::nullopt;
    return entered;
}

std::optional<std::string> TfrmID::askBytes(QWidget* owner, const std::string& text) {
    const QString shown = fromBytes(text);
    const auto entered = ask(owner, shown);
    if (!entered) return std::nullopt;
    // Back in the form it was shown in: confirmed as shown, the bytes stay as they were.
    return toBytes(*entered, formOf(text));
}

} // namespace qe
