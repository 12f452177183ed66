// Binds the widgets to the model by control name: the user's own signals become
// the form's verbs, and the model's state is pushed back into the widgets.
#pragma once

#include "ui/form/form.h"

#include <functional>

#include <QString>

class QObject;

namespace qe {

class PageControl;
class WidgetMap;

// Runs a user action and then brings the window in line with the model.
using RunAction = std::function<void(const std::function<void()>&)>;

// Connects the signals that only the user raises (textEdited, clicked, activated,
// the spin steps) to Form::type, click, pick and step, each through run.
void connectUserInput(Form& form, const WidgetMap& widgets, QObject* context, const RunAction& run);

// Brings every widget in line with its control: text, check state, item, shown and
// enabled flags, the tabs, the page in view and the preview image's size. Only
// widgets whose state differs are touched, with their signals blocked.
void syncWidgets(const Fields& f, const WidgetMap& widgets, PageControl& pages);

// The model's texts are bytes. They are shown as UTF-8 when they are valid UTF-8
// and byte for byte as Latin-1 otherwise, so that every byte has a character;
// text the user types goes back as UTF-8, so no character is lost. A value the
// user does not edit never passes through toBytes and keeps its bytes.
QString fromBytes(const std::string& bytes);
std::string toBytes(const QString& text);

} // namespace qe
