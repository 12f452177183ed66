#include "framed_box.h"

#include "app_look.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace qe {
namespace {

// Where the caption starts, from the group box's left edge.
constexpr int kCaptionX = 8;

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

FramedBox::FramedBox(QWidget* parent) : QWidget(parent) {}

void FramedBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    drawBevel(p, rect(), shadow, light);
    drawBevel(p, rect().adjusted(1, 1, -1, -1), light, shadow);
}

GroupBox::GroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

int GroupBox::frameTop() const {
    return fontMetrics().height() / 2;
}

void GroupBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    qDrawShadeRect(&p, rect().adjusted(0, frameTop(), 0, 0), palette(), true);
    const QString text = title();
    if (text.isEmpty()) return;
    const QRect caption(scaled(kCaptionX), 0,
                        fontMetrics().size(Qt::TextShowMnemonic, text).width(),
                        fontMetrics().height());
    p.fillRect(caption, palette().color(QPalette::Window));
    style()->drawItemText(&p, caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                          palette(), isEnabled(), text, QPalette::WindowText);
}

} // namespace qe
