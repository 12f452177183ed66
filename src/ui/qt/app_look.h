// The look the whole application shares: its title, its window icon and the font
// of every window (a sans serif of the classic 8-point dialog metrics).
#pragma once

class QApplication;

namespace qe {

void applyAppLook(QApplication& app);

} // namespace qe
