#include "framed_box.h"

#include <QPainter>

namespace qe {
namespace {

// One pixel wide bevel: topLeft on the top and left edges, bottomRight on the others.
void drawBevel(QPainter& p, QRect r, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

FramedBox::FramedBox(QWidget* parent, bool innerBevel) : QWidget(parent), innerBevel_(innerBevel) {}

void FramedBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    drawBevel(p, rect(), shadow, highlight);
    if (innerBevel_) drawBevel(p, rect().adjusted(1, 1, -1, -1), highlight, shadow);
}

} // namespace qe
