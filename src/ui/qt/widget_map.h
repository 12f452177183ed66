// The widgets of the main window by model control, and back. Every control of the
// model gets exactly one widget, whose objectName is the control's name.
#pragma once

#include "fields/control.h"

#include <QHash>
#include <QWidget>

#include <vector>

namespace qe {

class WidgetMap {
public:
    struct Entry {
        Control* control;
        QWidget* widget;
    };

    // Binds w to c and names it after c.
    void add(Control& c, QWidget* w);
    QWidget* widget(const Control& c) const { return byControl_.value(&c); }
    // The control bound to w itself, or nullptr.
    Control* control(const QWidget* w) const { return byWidget_.value(w); }
    // The control bound to w or to its nearest bound ancestor (a spin field's inner
    // line edit belongs to the spin field), or nullptr.
    Control* owner(const QWidget* w) const;
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
    QHash<const Control*, QWidget*> byControl_;
    QHash<const QWidget*, Control*> byWidget_;
};

} // namespace qe
