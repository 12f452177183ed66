#include "app_look.h"

#include "app_title.h"
#include "icons.h"

#include <QApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace qe {
namespace {

double gLayoutScale = 1.0;

} // namespace

void applyAppLook(QApplication& app) {
    // The name, not the display name: Qt appends a display name to every window's
    // caption, and the dialogs' captions are exactly "Error", "ID" and "About...".
    QApplication::setApplicationName(appTitle());
    // The icon installed in the theme, else the same picture drawn in code; the
    // desktop file name lets a Wayland shell match the window to its entry.
    QApplication::setWindowIcon(QIcon::fromTheme(QLatin1String(kAppId), appIcon()));
    QGuiApplication::setDesktopFileName(QLatin1String(kAppId));
    app.setFont(windowFont());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        gLayoutScale = std::max(1.0, screen->logicalDotsPerInch() / 96.0);
}

QFont windowFont() {
    // Liberation Sans has Arial's metrics, the nearest free match for the 8-point
    // MS Sans Serif the layout was drawn with: 11 pixels at 96 dots per inch.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8.25);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

int scaled(int pixels) {
    return static_cast<int>(std::lround(pixels * gLayoutScale));
}

QRect scaled(const QRect& r) {
    if (gLayoutScale == 1.0) return r;
    const int left = scaled(r.x());
    const int top = scaled(r.y());
    return QRect(left, top, scaled(r.x() + r.width()) - left, scaled(r.y() + r.height()) - top);
}

QSize scaled(const QSize& s) {
    return QSize(scaled(s.width()), scaled(s.height()));
}

} // namespace qe
