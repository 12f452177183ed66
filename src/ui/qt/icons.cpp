#include "icons.h"

#include <QPainter>
#include <QPainterPath>

namespace qe {
namespace {

// Both pictures are drawn on a 32 x 32 grid, as in their SVG sources.
constexpr qreal kGrid = 32.0;

template <typename Draw> QPixmap drawOnGrid(int size, Draw draw) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kGrid, size / kGrid);
    draw(p);
    return pixmap;
}

QPen roundPen(const char* colour, qreal width) {
    return QPen(QColor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawPage(QPainter& p) {
    const QPolygonF sheet({{6, 2}, {20, 2}, {26, 8}, {26, 30}, {6, 30}});
    const QPolygonF fold({{20, 2}, {20, 8}, {26, 8}});
    p.setPen(roundPen("#4a5a6a", 1.5));
    p.setBrush(QColor("#ffffff"));
    p.drawPolygon(sheet);
    p.setBrush(QColor("#d0d8e0"));
    p.drawPolygon(fold);
    p.setPen(roundPen("#9aa8b4", 1.5));
    p.drawLine(QLineF(10, 12, 22, 12));
    p.drawLine(QLineF(10, 16, 16, 16));
}

void drawGear(QPainter& p) {
    p.save();
    p.translate(19, 22);
    p.setPen(QPen(QColor("#8a4f08"), 1));
    p.setBrush(QColor("#e08a1e"));
    for (int tooth = 0; tooth < 8; ++tooth) {
        p.save();
        p.rotate(45.0 * tooth);
        p.drawRect(QRectF(-1.75, -9, 3.5, 4));
        p.restore();
    }
    p.drawEllipse(QPointF(0, 0), 6, 6);
    p.setBrush(QColor("#ffffff"));
    p.drawEllipse(QPointF(0, 0), 2.5, 2.5);
    p.restore();
}

} // namespace

QPixmap appPixmap(int size) {
    return drawOnGrid(size, [](QPainter& p) {
        drawPage(p);
        drawGear(p);
    });
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(appPixmap(size));
    return icon;
}

QPixmap globePixmap(int size) {
    return drawOnGrid(size, [](QPainter& p) {
        p.setPen(QPen(QColor("#24507a"), 1.5));
        p.setBrush(QColor("#3f7fbf"));
        p.drawEllipse(QPointF(16, 16), 13, 13);
        p.setPen(QPen(QColor("#ffffff"), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 6, 13);
        p.drawLine(QLineF(16, 3, 16, 29));
        p.drawLine(QLineF(3, 16, 29, 16));
        p.drawLine(QLineF(5.5, 9, 26.5, 9));
        p.drawLine(QLineF(5.5, 23, 26.5, 23));
    });
}

} // namespace qe
