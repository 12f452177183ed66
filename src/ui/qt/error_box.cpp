#include "error_box.h"

#include "app_look.h"
#include "app_title.h"
#include "binder.h"
#include "ui/form/form.h"

#include <QMessageBox>

namespace qe {
namespace {

void showCritical(QWidget* owner, const char* objectName, const QString& caption,
                  const QString& message) {
    QMessageBox box(QMessageBox::Critical, caption, message, QMessageBox::Ok, owner);
    box.setObjectName(QLatin1String(objectName));
    box.setFont(windowFont());
    // Shown as given: a file name with "<" must not turn the text into markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void showErrorDialog(QWidget* owner, const QString& message) {
    showCritical(owner, "errorDialog", QStringLiteral("Error"), message);
}

void showAppError(QWidget* owner, const std::exception& e) {
    const std::string text = errorBoxText(e);
    showCritical(owner, "appErrorBox", appTitle(), fromBytes(text));
}

} // namespace qe
