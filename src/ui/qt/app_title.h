// The application title, also the main window's caption and the caption of the
// general error box: the name and the version from project(VERSION).
#pragma once

#include "fields/version.h"

#include <QString>

namespace qe {

inline QString appTitle() {
    return QStringLiteral("QuenbyEditor ") + QLatin1String(kVersion);
}
// The desktop entry's name without ".desktop", also the installed icon's name.
inline constexpr char kAppId[] = "org.quenby.QuenbyEditor";

} // namespace qe
