// The question before Save writes over a file another program has changed.
#pragma once

#include <QString>

class QWidget;

namespace qe {

// A warning box with the application title as caption, text, and the buttons
// "Overwrite" and "Cancel"; Cancel is the default and Escape's button. True for
// Overwrite. Modal over owner; objectName "overwriteBox".
bool askOverwrite(QWidget* owner, const QString& text);

} // namespace qe
