// The fourteen pages of the main window, built from the model at fixed pixel
// positions: boxes 8 pixels from the page's left edge and 313 wide, labels at the
// left of a box and fields in a common column.
#pragma once

#include "fields/fields.h"

#include <QPixmap>

namespace qe {

class PageControl;
class WidgetMap;

// Creates a widget for every control of f under pages, binds each in widgets and
// sets each page's focus order to the order in which the model declares it.
void buildPages(Fields& f, PageControl& pages, WidgetMap& widgets);

// The font preview's sample character: 12 x 28 pixels of grey.
QPixmap sampleCharacter();

} // namespace qe
