// The application title, also the main window's caption and the caption of the
// general error box.
#pragma once

namespace qe {

inline constexpr char kAppTitle[] = "QuenbyEditor 2.0";
// The desktop entry's name without ".desktop", also the installed icon's name.
inline constexpr char kAppId[] = "org.quenby.QuenbyEditor";

} // namespace qe
