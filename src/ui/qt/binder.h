// Binds the widgets to the model by control name: the user's own signals become
// the form's verbs, and the model's state is pushed back into the widgets.
#pragma once

#include "config/value_text.h"
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

// The model's texts are bytes, shown and taken back by the core's one rule
// (config/value_text.h): valid UTF-8 as that text, anything else as Latin-1, and
// an edited text back in the form its value was shown in.
QString fromBytes(const std::string& bytes);
std::string toBytes(const QString& text, TextForm form = TextForm::Utf8);

} // namespace qe
