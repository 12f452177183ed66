// The two message boxes of the editor.
#pragma once

#include <QString>

#include <exception>

class QWidget;

namespace qe {

// The standard error dialog for the editor's own checks: caption "Error", the
// error icon, one OK. Modal over owner; objectName "errorDialog".
void showErrorDialog(QWidget* owner, const QString& message);

// The general error handler's box for an error that ended a command: caption the
// application title, the error icon, one OK, and the message with "." added when
// its last character's code is above "."; for a failed save, the system's reason
// and whether the old content was put back on lines of their own. The message
// bytes are Latin-1.
// Modal over owner; objectName "appErrorBox".
void showAppError(QWidget* owner, const std::exception& e);

} // namespace qe
