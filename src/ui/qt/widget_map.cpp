#include "widget_map.h"

namespace qe {

void WidgetMap::add(Control& c, QWidget* w) {
    w->setObjectName(QString::fromStdString(c.name()));
    entries_.push_back({&c, w});
    byControl_.insert(&c, w);
    byWidget_.insert(w, &c);
}

Control* WidgetMap::owner(const QWidget* w) const {
    for (; w; w = w->parentWidget())
        if (Control* c = control(w)) return c;
    return nullptr;
}

} // namespace qe
