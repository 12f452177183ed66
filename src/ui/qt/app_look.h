// The look the whole application shares: its title, its window icon, the font of
// every window (a sans serif of the classic 8-point dialog metrics) and the factor
// by which the pixel layout grows on a screen of more than 96 logical dots per inch.
#pragma once

#include <QFont>
#include <QRect>

class QApplication;

namespace qe {

// Sets the application's name, icon and font, and finds the layout scale.
void applyAppLook(QApplication& app);

// The font of every window and control: 8.25 point, so 11 pixels at 96 dots per
// inch and in proportion at any other logical resolution.
QFont windowFont();

// A layout length, position or rectangle in logical pixels at the layout scale:
// how much larger than the 96 dots-per-inch layout the window is drawn, the
// primary screen's logical resolution over 96. Qt's own scaling (QT_SCALE_FACTOR,
// QT_FONT_DPI, the desktop's resolution) grows logical pixels already and leaves
// the scale at 1; it differs from 1 when the platform reports a logical
// resolution other than 96 without scaling (QT_ENABLE_HIGHDPI_SCALING=0).
// Rectangles are scaled by their edges, so neighbours stay neighbours.
int scaled(int pixels);
QRect scaled(const QRect& r);
QSize scaled(const QSize& s);

} // namespace qe
