#include "app_look.h"

#include "app_title.h"
#include "icons.h"

#include <QApplication>
#include <QFont>

namespace qe {

void applyAppLook(QApplication& app) {
    QApplication::setApplicationDisplayName(QString::fromLatin1(kAppTitle));
    // The icon installed in the theme, else the same picture drawn in code; the
    // desktop file name lets a Wayland shell match the window to its entry.
    QApplication::setWindowIcon(QIcon::fromTheme(QLatin1String(kAppId), appIcon()));
    QGuiApplication::setDesktopFileName(QLatin1String(kAppId));
    // Liberation Sans has Arial's metrics, the nearest free match for the 8-point
    // MS Sans Serif the layout was drawn with: 11 pixels at 96 dots per inch.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    app.setFont(font);
}

} // namespace qe
