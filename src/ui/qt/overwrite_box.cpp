#include "overwrite_box.h"

#include "app_look.h"
#include "app_title.h"

#include <QMessageBox>
#include <QPushButton>

namespace qe {

bool askOverwrite(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Warning, appTitle(), text, QMessageBox::Cancel, owner);
    box.setObjectName(QStringLiteral("overwriteBox"));
    box.setFont(windowFont());
    box.setTextFormat(Qt::PlainText);
    QPushButton* overwrite = box.addButton(QObject::tr("&Overwrite"), QMessageBox::DestructiveRole);
    overwrite->setObjectName(QStringLiteral("btnOverwrite"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == overwrite;
}

} // namespace qe
