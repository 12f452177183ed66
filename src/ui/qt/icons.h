// The program's pictures, drawn in code so that no image plug-in is needed. The
// drawings follow the SVG sources in icons/, which are kept as the reference.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace qe {

// The window icon (icons/app.svg): a gear over a page of settings.
QIcon appIcon();
// A square picture of the window icon, size x size device pixels.
QPixmap appPixmap(int size);
// A globe (icons/globe.svg), shown at the right of the About box's title.
QPixmap globePixmap(int size);

} // namespace qe
